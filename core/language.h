/* Language and norm choice at start-up, without the platform: the country code of
   WIN.INI, the stored language word and the help file and guide page that go with a
   language. */
#ifndef STRAVO_LANGUAGE_H
#define STRAVO_LANGUAGE_H

/* Language offset for a telephone country code; sets *ntsc to the default norm. */
int CountryDefaults(int country, int *ntsc);

/* Offset named by a stored language word ("ENG", "GER", "FRE", any letter case),
   or fallback for any other text. */
int LanguageOffsetForCode(const char *code, int fallback);

/* "STRVENG.HLP", "STRVGER.HLP" or "STRVFRE.HLP". */
const char *HelpFileForOffset(int offset);

/* The user's guide page of a language, relative to the program's folder:
   "guide\en.htm", "guide\de.htm" or "guide\fr.htm". */
const char *GuidePageForOffset(int offset);

/* ASCII comparison ignoring letter case, like the platform's for these words. */
int EqualIgnoringCase(const char *a, const char *b);

#endif
