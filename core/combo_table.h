/* Drop-down lists filled from tables of entries that begin with an int key and a
   pointer to the entry's text. Position in the list is position in the table: the
   lists are not sorted. */
#ifndef STRAVO_COMBO_TABLE_H
#define STRAVO_COMBO_TABLE_H

#include <windows.h>

#include <stddef.h>
#include <stdint.h>

struct ComboEntryHead {
    int32_t key;
    const char *text;
};

int FillComboFromEntries(HWND dialog, int id, const void *table, size_t entrySize, int count, int key);
int GetComboKeyFromEntries(HWND dialog, int id, const void *table, size_t entrySize);

/* Appends the texts of entries 0..count-1, selects the last entry with the key (or
   entry 0) and returns its position. */
template <typename Entry>
int FillComboFromTable(HWND dialog, int id, const Entry *table, int count, int key)
{
    static_assert(sizeof(Entry) >= sizeof(ComboEntryHead), "entries begin with key and text");
    return FillComboFromEntries(dialog, id, table, sizeof(Entry), count, key);
}

/* The key of the selected entry; no selection counts as entry 0. */
template <typename Entry>
int GetComboKey(HWND dialog, int id, const Entry *table)
{
    return GetComboKeyFromEntries(dialog, id, table, sizeof(Entry));
}

#endif
