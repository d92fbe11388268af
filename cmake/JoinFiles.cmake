# cmake -DOUTPUT=file -DFIRST=a -DSECOND=b -P JoinFiles.cmake: writes a, then b, into the
# output, replacing it whole.
file(READ "${FIRST}" first)
file(READ "${SECOND}" second)
file(WRITE "${OUTPUT}.part" "${first}${second}")
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
