/* The registry store: every registry access of the program goes through here.
   Numbered-key operations return 0 on success and 1 on failure and never write the
   output of a read that failed; capture-tool operations work on key 101 only. */
#ifndef STRAVO_STORE_H
#define STRAVO_STORE_H

#include <stdint.h>

#include "store_rules.h"

uint16_t StoreWrite(uint16_t key, uint16_t number, const char *name, const void *data, int kind);
uint16_t StoreRead(uint16_t key, uint16_t number, const char *name, void *output, int kind,
                   uint32_t *size);

uint16_t StoreWriteSubkey(uint16_t key, uint16_t number, const void *data, int kind);
uint16_t StoreWriteNamed(uint16_t key, uint16_t number, const void *data, int kind);
uint16_t StoreReadSubkey(uint16_t key, uint16_t number, void *output, int kind, uint32_t *size);
uint16_t StoreReadNamed(uint16_t key, uint16_t number, void *output, int kind, uint32_t *size);

int VidCapReadFlag(uint16_t key, const char *name, int defaultValue);
uint32_t VidCapReadDword(uint16_t key, const char *name, uint32_t defaultValue);
int VidCapWriteFlag(uint16_t key, const char *name, int value, int defaultValue);
int VidCapWriteDword(uint16_t key, const char *name, uint32_t value, uint32_t defaultValue);
uint32_t VidCapReadBinary(uint16_t key, const char *name, const void *defaultBlock, void *output,
                          uint32_t size);
int VidCapWriteBinary(uint16_t key, const char *name, const void *data, uint32_t size);

#endif
