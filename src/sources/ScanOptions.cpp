#include "sources/ScanOptions.h"

#include "base/AsciiText.h"

#include <sane/saneopts.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The option's number and descriptor, or 0 when the device has none by
// that name (option 0 is the option count).
SANE_Int FindOption(SANE_Handle h, const char* name, const SANE_Option_Descriptor** found)
{
    for (SANE_Int i = 1;; ++i) {
        const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, i);
        if (!d)
            return 0;
        if (d->name && std::strcmp(d->name, name) == 0 && SANE_OPTION_IS_ACTIVE(d->cap) &&
            SANE_OPTION_IS_SETTABLE(d->cap)) {
            *found = d;
            return i;
        }
    }
}

bool IsSingleNumber(const SANE_Option_Descriptor* d)
{
    return (d->type == SANE_TYPE_INT || d->type == SANE_TYPE_FIXED) &&
           d->size == static_cast<SANE_Int>(sizeof(SANE_Word));
}

double FromWord(const SANE_Option_Descriptor* d, SANE_Word w)
{
    return d->type == SANE_TYPE_FIXED ? SANE_UNFIX(w) : static_cast<double>(w);
}

SANE_Word ToWord(const SANE_Option_Descriptor* d, double v)
{
    return d->type == SANE_TYPE_FIXED ? SANE_FIX(v) : static_cast<SANE_Word>(std::lround(v));
}

// The word list's entry nearest the value (the list's first word is its
// length).
double NearestListed(const SANE_Option_Descriptor* d, double value)
{
    const SANE_Word* list = d->constraint.word_list;
    double best = value;
    double distance = -1;
    for (SANE_Int i = 1; list && i <= list[0]; ++i) {
        const double v = FromWord(d, list[i]);
        if (distance < 0 || std::fabs(v - value) < distance) {
            best = v;
            distance = std::fabs(v - value);
        }
    }
    return best;
}

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

}  // namespace

void SetNumberOption(SANE_Handle h, const char* name, double value)
{
    const SANE_Option_Descriptor* d = nullptr;
    const SANE_Int i = FindOption(h, name, &d);
    if (!i || !IsSingleNumber(d))
        return;
    if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST)
        value = NearestListed(d, value);
    SANE_Word w = ToWord(d, value);
    SANE_Int info = 0;
    sane_control_option(h, i, SANE_ACTION_SET_VALUE, &w, &info);
}

double NumberOption(SANE_Handle h, const char* name, double fallback)
{
    const SANE_Option_Descriptor* d = nullptr;
    const SANE_Int i = FindOption(h, name, &d);
    if (!i || !IsSingleNumber(d))
        return fallback;
    SANE_Word w = 0;
    if (sane_control_option(h, i, SANE_ACTION_GET_VALUE, &w, nullptr) != SANE_STATUS_GOOD)
        return fallback;
    return FromWord(d, w);
}

void SetBoolOption(SANE_Handle h, const char* name, bool value)
{
    const SANE_Option_Descriptor* d = nullptr;
    const SANE_Int i = FindOption(h, name, &d);
    if (!i || d->type != SANE_TYPE_BOOL)
        return;
    SANE_Bool b = value ? SANE_TRUE : SANE_FALSE;
    sane_control_option(h, i, SANE_ACTION_SET_VALUE, &b, nullptr);
}

void SetScanMode(SANE_Handle h, bool grey)
{
    const SANE_Option_Descriptor* d = nullptr;
    const SANE_Int i = FindOption(h, SANE_NAME_SCAN_MODE, &d);
    if (!i || d->type != SANE_TYPE_STRING || d->constraint_type != SANE_CONSTRAINT_STRING_LIST || d->size <= 0)
        return;
    const char* chosen = nullptr;
    for (const SANE_String_Const* s = d->constraint.string_list; s && *s; ++s) {
        const std::string mode = AsciiLower(*s);
        const bool fits = grey ? (Contains(mode, "gray") || Contains(mode, "grey"))
                               : (Contains(mode, "color") || Contains(mode, "colour"));
        // "Gray" before "Gray16" and the like: the plain name wins.
        if (fits && (!chosen || std::strlen(*s) < std::strlen(chosen)))
            chosen = *s;
    }
    if (!chosen)
        return;
    std::vector<char> value(static_cast<std::size_t>(d->size), '\0');
    std::strncpy(value.data(), chosen, value.size() - 1);
    sane_control_option(h, i, SANE_ACTION_SET_VALUE, value.data(), nullptr);
}

void SetScanArea(SANE_Handle h, double widthMm, double heightMm)
{
    const SANE_Option_Descriptor* d = nullptr;
    if (!FindOption(h, SANE_NAME_SCAN_BR_X, &d) || d->unit != SANE_UNIT_MM)
        return;
    SetNumberOption(h, SANE_NAME_SCAN_TL_X, 0);
    SetNumberOption(h, SANE_NAME_SCAN_TL_Y, 0);
    SetNumberOption(h, SANE_NAME_SCAN_BR_X, widthMm);
    SetNumberOption(h, SANE_NAME_SCAN_BR_Y, heightMm);
}
