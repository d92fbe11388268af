# cmake -DOUTPUT=file "-DPARTS=a;b;c" -P JoinFiles.cmake: writes the parts, in order, into the
# output, replacing it whole.
set(joined "")
foreach(part IN LISTS PARTS)
  file(READ "${part}" text)
  string(APPEND joined "${text}")
endforeach()
file(WRITE "${OUTPUT}.part" "${joined}")
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
