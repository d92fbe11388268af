// The modifier keys of a shortcut as one set: the form in which Nivu passes them around. The
// stored shortcut keeps Carbon's bits, and the toolkit and X convert to it at their own edges.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace nivu {

enum class Modifier : std::uint8_t { shift = 1, control = 2, option = 4, command = 8 };

class Modifiers {
public:
    constexpr Modifiers() = default;
    constexpr Modifiers(std::initializer_list<Modifier> modifiers) {
        for (const Modifier modifier : modifiers) {
            add(modifier);
        }
    }
    constexpr void add(Modifier modifier) { bits_ |= static_cast<std::uint8_t>(modifier); }
    constexpr bool has(Modifier modifier) const {
        return (bits_ & static_cast<std::uint8_t>(modifier)) != 0;
    }
    constexpr bool empty() const { return bits_ == 0; }
    friend constexpr bool operator==(Modifiers, Modifiers) = default;

private:
    std::uint8_t bits_ = 0;
};

namespace carbon_modifier {
constexpr std::uint32_t command = 0x0100;
constexpr std::uint32_t shift = 0x0200;
constexpr std::uint32_t option = 0x0800;
constexpr std::uint32_t control = 0x1000;
} // namespace carbon_modifier

// Carbon's bits for the set, the stored form; and the set of the four bits among others.
constexpr std::uint32_t carbonBits(Modifiers modifiers) {
    return (modifiers.has(Modifier::command) ? carbon_modifier::command : 0) |
           (modifiers.has(Modifier::shift) ? carbon_modifier::shift : 0) |
           (modifiers.has(Modifier::option) ? carbon_modifier::option : 0) |
           (modifiers.has(Modifier::control) ? carbon_modifier::control : 0);
}
constexpr Modifiers modifiersOfCarbonBits(std::uint32_t bits) {
    Modifiers modifiers;
    const auto addIf = [&](std::uint32_t bit, Modifier modifier) {
        if ((bits & bit) != 0) {
            modifiers.add(modifier);
        }
    };
    addIf(carbon_modifier::command, Modifier::command);
    addIf(carbon_modifier::shift, Modifier::shift);
    addIf(carbon_modifier::option, Modifier::option);
    addIf(carbon_modifier::control, Modifier::control);
    return modifiers;
}

} // namespace nivu
