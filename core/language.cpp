/* Start-up language rules. */
#include "language.h"

#include "../resources/resource.h"

int CountryDefaults(int country, int *ntsc)
{
    *ntsc = 0;
    switch (country) {
    case 1: case 2: case 52: case 81: case 82: case 886:
        *ntsc = 1;
        return LANG_OFFSET_ENGLISH;
    case 32: case 33:
        return LANG_OFFSET_FRENCH;
    case 41: case 43: case 49:
        return LANG_OFFSET_GERMAN;
    default:
        return LANG_OFFSET_ENGLISH;
    }
}

static char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

int EqualIgnoringCase(const char *a, const char *b)
{
    for (; *a && *b; a++, b++)
        if (LowerAscii(*a) != LowerAscii(*b))
            return 0;
    return *a == *b;
}

int LanguageOffsetForCode(const char *code, int fallback)
{
    int offset = fallback;
    if (EqualIgnoringCase(code, "ENG"))
        offset = LANG_OFFSET_ENGLISH;
    if (EqualIgnoringCase(code, "GER"))
        offset = LANG_OFFSET_GERMAN;
    if (EqualIgnoringCase(code, "FRE"))
        offset = LANG_OFFSET_FRENCH;
    return offset;
}

const char *HelpFileForOffset(int offset)
{
    if (offset == LANG_OFFSET_GERMAN)
        return "STRVGER.HLP";
    if (offset == LANG_OFFSET_FRENCH)
        return "STRVFRE.HLP";
    return "STRVENG.HLP";
}

const char *GuidePageForOffset(int offset)
{
    if (offset == LANG_OFFSET_GERMAN)
        return "guide\\de.htm";
    if (offset == LANG_OFFSET_FRENCH)
        return "guide\\fr.htm";
    return "guide\\en.htm";
}
