// The fixed lists of the language table: the languages, the text numbers and
// the menu items bound to numbers.
#include "settings/LanguageTable.h"

const std::array<LanguageInfo, kLanguageCount>& Languages() {
    static const std::array<LanguageInfo, kLanguageCount> languages = {{
        {"English", 32773, 3009, 0x09},    {"Dutch", 32771, 3010, 0x13},
        {"Spanish", 32776, 3013, 0x0A},    {"Finnish", 32783, 3016, 0x0B},
        {"Swedish", 32782, 3015, 0x1D},    {"French", 32775, 3012, 0x0C},
        {"German", 32774, 3011, 0x07},     {"Italian", 32788, 3014, 0x10},
        {"Danish", 32785, 3018, 0x06},     {"Mestreechs", 32791, 3038, 0x13},
        {"Russian", 32792, 3032, 0x19},    {"Portuguese", 32786, 3019, 0x16},
        {"Estonian", 32800, 3039, 0x25},   {"Polish", 32787, 3020, 0x15},
        {"Brazilian", 32801, 3040, 0x16},  {"Norwegian", 32784, 3017, 0x14},
        {"Greek", 32798, 3034, 0x08},      {"Turkish", 32799, 3035, 0x1F},
        {"Czech", 32802, 3041, 0x05},      {"Romanian", 32797, 3036, 0x18},
        {"Hungarian", 32796, 3037, 0x0E},  {"Latvian", 32807, 3043, 0x26},
        {"Chinese", 32793, 3033, 0x04},    {"Japanese", 32818, 3050, 0x11},
        {"Catalan", 32821, 3051, 0x03},    {"Arabic", 32829, 3056, 0x01},
        {"Vietnamese", 32836, 3058, 0x2A}, {"Slovak", 32840, 3060, 0x1B},
    }};
    return languages;
}

int LanguageIndexForCommand(int menuCommand) {
    for (int i = 0; i < kLanguageCount; ++i)
        if (Languages()[i].menuCommand == menuCommand) return i;
    return -1;
}

namespace {
void AddRange(std::vector<int>& v, int first, int last) {
    for (int n = first; n <= last; ++n) v.push_back(n);
}
}  // namespace

const std::vector<int>& CLanguageTable::TextNumbers() {
    static const std::vector<int> numbers = [] {
        std::vector<int> v{1000};
        AddRange(v, 2004, 2010);
        for (int n : {3000, 3001, 3030, 3031, 3059, 3048, 3049}) v.push_back(n);
        AddRange(v, 3002, 3007);
        for (int n : {3045, 3046, 3047, 3057, 3052}) v.push_back(n);
        AddRange(v, 3008, 3021);
        AddRange(v, 3032, 3041);
        for (int n : {3043, 3050, 3051, 3056, 3058, 3060}) v.push_back(n);
        AddRange(v, 3022, 3025);
        for (int n : {3044, 3026, 3027, 3028, 3053, 3054, 3055, 3029}) v.push_back(n);
        AddRange(v, 4000, 4004);
        v.push_back(4020);  // a cover that runs into the printer's margin
        AddRange(v, 5000, 5022);
        AddRange(v, 6000, 6005);
        AddRange(v, 7000, 7040);
        AddRange(v, 7100, 7115);
        AddRange(v, 7200, 7204);
        AddRange(v, 8000, 8006);
        AddRange(v, 9000, 9025);
        AddRange(v, 9500, 9511);
        // Texts added since: the Print Setup dialog.
        AddRange(v, 9550, 9555);
        // ... and the messages about pictures, skins and links not usable.
        AddRange(v, 9640, 9645);
        // ... pictures dropped, pasted or downloaded, and the command line.
        AddRange(v, 9650, 9670);
        // The desktop entry and the software centres' texts.
        AddRange(v, 9700, 9709);
        // The cover sources: online search, the disc, the scanner.
        AddRange(v, 9720, 9759);
        // How pictures fill their covers, the zoomed paper, and the names of
        // the label-sheet formats (9790 on, registered by the formats).
        AddRange(v, 9780, 9804);
        // The window's conveniences: why a format was chosen, recent files,
        // swapping the slots.
        AddRange(v, 9810, 9816);
        return v;
    }();
    return numbers;
}

int CLanguageTable::RowOf(int number) {
    const auto& numbers = TextNumbers();
    for (std::size_t i = 0; i < numbers.size(); ++i)
        if (numbers[i] == number) return static_cast<int>(i);
    return -1;
}

// The menu bar: File, Options, Help. Positions leave separators out; the
// Language submenu's last item follows its separator, the Skins submenu's
// folder items come after the four fixed ones.
const std::array<MenuTextRow, kMenuTextRowCount>& MenuTextRows() {
    static const std::array<MenuTextRow, kMenuTextRowCount> rows = {{
        {1, {0}, 3000},
        {2, {0, 0}, 3001},
        {2, {0, 1}, 3030},
        {2, {0, 2}, 3031},
        {2, {0, 3}, 9815},
        {2, {0, 4}, 3059},
        {2, {0, 5}, 3022},
        {3, {0, 5, 0}, 3023},
        {3, {0, 5, 1}, 3024},
        {2, {0, 6}, 9816},
        {2, {0, 7}, 9720},
        {2, {0, 8}, 9721},
        {2, {0, 9}, 3048},
        {2, {0, 10}, 3049},
        {2, {0, 11}, 3002},
        {2, {0, 12}, 3003},
        {2, {0, 13}, 3004},
        {2, {0, 14}, 3005},

        {1, {1}, 3006},
        {2, {1, 0}, 3007},
        {2, {1, 1}, 3045},
        {3, {1, 1, 0}, 3046},
        {3, {1, 1, 1}, 3047},
        {3, {1, 1, 2}, 3057},
        {3, {1, 1, 3}, 3052},
        {2, {1, 2}, 3008},
        {3, {1, 2, 0}, 3009},
        {3, {1, 2, 1}, 3010},
        {3, {1, 2, 2}, 3038},
        {3, {1, 2, 3}, 3011},
        {3, {1, 2, 4}, 3012},
        {3, {1, 2, 5}, 3013},
        {3, {1, 2, 6}, 3051},
        {3, {1, 2, 7}, 3014},
        {3, {1, 2, 8}, 3015},
        {3, {1, 2, 9}, 3016},
        {3, {1, 2, 10}, 3017},
        {3, {1, 2, 11}, 3018},
        {3, {1, 2, 12}, 3019},
        {3, {1, 2, 13}, 3020},
        {3, {1, 2, 14}, 3032},
        {3, {1, 2, 15}, 3039},
        {3, {1, 2, 16}, 3033},
        {3, {1, 2, 17}, 3034},
        {3, {1, 2, 18}, 3035},
        {3, {1, 2, 19}, 3036},
        {3, {1, 2, 20}, 3037},
        {3, {1, 2, 21}, 3040},
        {3, {1, 2, 22}, 3041},
        {3, {1, 2, 23}, 3043},
        {3, {1, 2, 24}, 3050},
        {3, {1, 2, 25}, 3056},
        {3, {1, 2, 26}, 3058},
        {3, {1, 2, 27}, 3060},
        {3, {1, 2, 28}, 3021},
        {2, {1, 3}, 3044},
        {2, {1, 4}, 7039},
        {2, {1, 5}, 9500},

        {1, {2}, 3026},
        {2, {2, 0}, 3027},
        {2, {2, 1}, 3028},
        {2, {2, 2}, 3053},
        {3, {2, 2, 0}, 3054},
        {3, {2, 2, 1}, 3055},
        {2, {2, 3}, 3029},
    }};
    return rows;
}
