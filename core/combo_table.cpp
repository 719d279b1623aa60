/* The drop-down list helpers. */
#include "combo_table.h"

static const ComboEntryHead *EntryAt(const void *table, size_t entrySize, int position)
{
    return (const ComboEntryHead *)((const char *)table + entrySize * (size_t)position);
}

int FillComboFromEntries(HWND dialog, int id, const void *table, size_t entrySize, int count, int key)
{
    int selected = 0;
    for (int i = 0; i < count; i++) {
        const ComboEntryHead *entry = EntryAt(table, entrySize, i);
        SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, (LPARAM)entry->text);
        if (entry->key == key)
            selected = i;
    }
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, (WPARAM)selected, 0);
    return selected;
}

int GetComboKeyFromEntries(HWND dialog, int id, const void *table, size_t entrySize)
{
    int position = (int)SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    if (position < 0)
        position = 0;
    return EntryAt(table, entrySize, position)->key;
}
