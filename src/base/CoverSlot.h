#pragma once
// The two slots, the format a slot's cover is printed in, and which slots a
// print job prints. Inside the program these are typed values; the numbers
// users and files know (print mode 0/1/2, "left"/"right"/"both") are read
// and written only at those edges.

enum class Slot { Left = 0, Right = 1 };

inline constexpr Slot OtherSlot(Slot s) { return s == Slot::Left ? Slot::Right : Slot::Left; }

// A format of the list and the slot whose cover it places: the left slot's
// cover takes the format's first position, the right slot's its second.
struct SlotFormat {
    int format = -1;  // index into the format list; -1 for none
    Slot slot = Slot::Left;

    constexpr bool right() const { return slot == Slot::Right; }
    constexpr bool none() const { return format < 0; }
    friend constexpr bool operator==(const SlotFormat&, const SlotFormat&) = default;
};

inline constexpr SlotFormat LeftFormat(int format) { return {format, Slot::Left}; }
inline constexpr SlotFormat RightFormat(int format) { return {format, Slot::Right}; }
inline constexpr SlotFormat FormatOf(Slot slot, int format) { return {format, slot}; }
inline constexpr SlotFormat kNoSlotFormat{};

// What a job prints: the left cover, the right cover, or both.
enum class PrintMode { Left = 0, Right = 1, Both = 2 };

inline constexpr bool PrintsLeft(PrintMode m) { return m != PrintMode::Right; }
inline constexpr bool PrintsRight(PrintMode m) { return m != PrintMode::Left; }
// The print mode of a slot alone.
inline constexpr PrintMode PrintModeOf(Slot s) { return s == Slot::Left ? PrintMode::Left : PrintMode::Right; }
// The number a stored file or an older caller gives: 0 left, 1 right, 2 both;
// anything else prints both.
inline constexpr PrintMode PrintModeFromNumber(int n) {
    return n == 0 ? PrintMode::Left : n == 1 ? PrintMode::Right : PrintMode::Both;
}
inline constexpr int PrintModeNumber(PrintMode m) { return static_cast<int>(m); }
