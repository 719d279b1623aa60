/* The registry store's fixed tables and the rules that need no registry: key and
   value-name lookup, path building, the text-length rule and the decimal rule. */
#ifndef STRAVO_STORE_RULES_H
#define STRAVO_STORE_RULES_H

#include <stddef.h>
#include <stdint.h>

enum StoreRoot { ROOT_CURRENT_USER = 1, ROOT_LOCAL_MACHINE = 2 };

enum StoreDataKind { DATA_NUMBER = 0, DATA_TEXT = 1 };

enum { NO_VALUE_NUMBER = 255, VIDCAP_KEY = 101, MAX_STORED_TEXT = 100 };

struct StoreKey {
    uint16_t number;
    const char *path;
    StoreRoot readRoot;
    StoreRoot writeRoot;
};

/* Key of a numbered-key operation; 0 for numbers the table lacks and for the
   capture tool's key, which only the capture-tool operations may use. */
const StoreKey *FindStoreKey(uint16_t number);

/* Path of the capture tool's settings key (key 101). */
const char *VidCapKeyPath();

/* Table name of a value number, or 0 (255 and unknown numbers). */
const char *ValueName(uint16_t number);

/* Where a numbered-key value lives. */
struct StoreLocation {
    char path[260];
    const char *valueName; /* 0 for the subkey's default value */
};

/* Works out the path and value name of (number, name) under a key path: a given
   name is the value form (in the subkey named by the number, unless the number is
   255), no name the subkey form. Returns 0 when the number names nothing or the
   path does not fit. */
int LocateStoreValue(const char *keyPath, uint16_t number, const char *name, StoreLocation *out);

/* A text may be stored when it has 1 to 100 characters. */
int StoreTextAllowed(const char *text);

/* Decimal rule: last character weight 1, each earlier one ten times more; no sign,
   no digit check; the sum wraps as a 32-bit integer. */
uint32_t ParseDecimal(const char *text);

/* Makes the bytes of a text query a string inside its buffer: a terminator within
   the data is kept, one missing is appended when there is room. Returns the byte
   count including the terminator, or 0 when the text and its terminator do not fit. */
uint32_t TerminateQueriedText(char *buffer, uint32_t dataBytes, uint32_t bufferSize);

#endif
