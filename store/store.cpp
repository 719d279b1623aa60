/* Registry side of the store: opens, queries, stores and closes one key per call. */
#include "store.h"

#include <windows.h>
#include <stdio.h>
#include <string.h>

/* Text queries go through a local buffer first, so that a value that does not fit
   (ERROR_MORE_DATA may fill the buffer partly) never reaches the caller's output. */
enum { TEXT_QUERY_LIMIT = 1024, SUBKEY_NUMBER_TEXT = 100 };

static HKEY RootKey(StoreRoot root)
{
    return root == ROOT_LOCAL_MACHINE ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

uint16_t StoreWrite(uint16_t key, uint16_t number, const char *name, const void *data, int kind)
{
    const StoreKey *entry = FindStoreKey(key);
    StoreLocation where;
    if (!entry || !data || (kind != DATA_NUMBER && kind != DATA_TEXT))
        return 1;
    if (!LocateStoreValue(entry->path, number, name, &where))
        return 1;
    if (kind == DATA_TEXT && !StoreTextAllowed((const char *)data))
        return 1;

    HKEY hkey;
    HKEY root = RootKey(entry->writeRoot);
    if (RegOpenKeyExA(root, where.path, 0, KEY_WRITE, &hkey) != ERROR_SUCCESS &&
        RegCreateKeyExA(root, where.path, 0, 0, REG_OPTION_NON_VOLATILE, KEY_WRITE, 0, &hkey, 0) !=
            ERROR_SUCCESS)
        return 1;

    LONG status;
    if (where.valueName && kind == DATA_NUMBER) {
        status = RegSetValueExA(hkey, where.valueName, 0, REG_DWORD, (const BYTE *)data, 4);
    } else if (kind == DATA_NUMBER) {
        char text[16];
        int32_t value;
        memcpy(&value, data, 4);
        snprintf(text, sizeof text, "%d", (int)value);
        status = RegSetValueExA(hkey, 0, 0, REG_SZ, (const BYTE *)text, (DWORD)strlen(text) + 1);
    } else {
        const char *text = (const char *)data;
        status = RegSetValueExA(hkey, where.valueName, 0, REG_SZ, (const BYTE *)text,
                                (DWORD)strlen(text) + 1);
    }
    RegCloseKey(hkey);
    return status == ERROR_SUCCESS ? 0 : 1;
}

/* Queries a text value into buffer (bufferSize bytes); returns the bytes delivered
   with the terminator, or 0 on any failure. */
static uint32_t QueryText(HKEY hkey, const char *valueName, char *buffer, uint32_t bufferSize)
{
    DWORD bytes = bufferSize;
    if (RegQueryValueExA(hkey, valueName, 0, 0, (BYTE *)buffer, &bytes) != ERROR_SUCCESS)
        return 0;
    return TerminateQueriedText(buffer, bytes, bufferSize);
}

uint16_t StoreRead(uint16_t key, uint16_t number, const char *name, void *output, int kind,
                   uint32_t *size)
{
    const StoreKey *entry = FindStoreKey(key);
    StoreLocation where;
    if (!entry || !output || (kind != DATA_NUMBER && kind != DATA_TEXT))
        return 1;
    if (kind == DATA_TEXT && !size)
        return 1;
    if (!LocateStoreValue(entry->path, number, name, &where))
        return 1;

    HKEY hkey;
    if (RegOpenKeyExA(RootKey(entry->readRoot), where.path, 0, KEY_QUERY_VALUE, &hkey) !=
        ERROR_SUCCESS)
        return 1;

    uint16_t status = 1;
    if (kind == DATA_NUMBER && where.valueName) {
        BYTE value[4];
        DWORD bytes = sizeof value;
        if (RegQueryValueExA(hkey, where.valueName, 0, 0, value, &bytes) == ERROR_SUCCESS &&
            bytes == 4) {
            memcpy(output, value, 4);
            status = 0;
        }
    } else if (kind == DATA_NUMBER) {
        char text[SUBKEY_NUMBER_TEXT];
        if (QueryText(hkey, 0, text, sizeof text)) {
            uint32_t value = ParseDecimal(text);
            memcpy(output, &value, 4);
            if (size)
                *size = 4;
            status = 0;
        }
    } else {
        char text[TEXT_QUERY_LIMIT];
        uint32_t room = *size < sizeof text ? *size : (uint32_t)sizeof text;
        uint32_t bytes = QueryText(hkey, where.valueName, text, room);
        if (bytes) {
            memcpy(output, text, bytes);
            *size = bytes;
            status = 0;
        }
    }
    RegCloseKey(hkey);
    return status;
}

uint16_t StoreWriteSubkey(uint16_t key, uint16_t number, const void *data, int kind)
{
    if (number == NO_VALUE_NUMBER)
        return 1;
    return StoreWrite(key, number, 0, data, kind);
}

uint16_t StoreWriteNamed(uint16_t key, uint16_t number, const void *data, int kind)
{
    const char *name = ValueName(number);
    if (number == NO_VALUE_NUMBER || !name)
        return 1;
    return StoreWrite(key, NO_VALUE_NUMBER, name, data, kind);
}

uint16_t StoreReadSubkey(uint16_t key, uint16_t number, void *output, int kind, uint32_t *size)
{
    if (number == NO_VALUE_NUMBER)
        return 1;
    return StoreRead(key, number, 0, output, kind, size);
}

uint16_t StoreReadNamed(uint16_t key, uint16_t number, void *output, int kind, uint32_t *size)
{
    const char *name = ValueName(number);
    if (number == NO_VALUE_NUMBER || !name)
        return 1;
    return StoreRead(key, NO_VALUE_NUMBER, name, output, kind, size);
}

/* Reads a REG_DWORD of the capture tool's key; returns 1 and sets value when found. */
static int ReadVidCapDword(const char *name, DWORD *value)
{
    HKEY hkey;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, VidCapKeyPath(), 0, KEY_QUERY_VALUE, &hkey) != ERROR_SUCCESS)
        return 0;
    DWORD type = 0, data = 0, bytes = sizeof data;
    LONG status = RegQueryValueExA(hkey, name, 0, &type, (BYTE *)&data, &bytes);
    RegCloseKey(hkey);
    if (status != ERROR_SUCCESS || type != REG_DWORD || bytes != sizeof data)
        return 0;
    *value = data;
    return 1;
}

int VidCapReadFlag(uint16_t key, const char *name, int defaultValue)
{
    DWORD value;
    if (key != VIDCAP_KEY)
        return 0;
    if (!ReadVidCapDword(name, &value))
        return defaultValue;
    return value != 0;
}

uint32_t VidCapReadDword(uint16_t key, const char *name, uint32_t defaultValue)
{
    DWORD value;
    if (key != VIDCAP_KEY)
        return 0;
    if (!ReadVidCapDword(name, &value))
        return defaultValue;
    return value;
}

static void SetVidCapValue(const char *name, DWORD type, const void *data, DWORD bytes)
{
    HKEY hkey;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, VidCapKeyPath(), 0, 0, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                        0, &hkey, 0) != ERROR_SUCCESS)
        return;
    RegSetValueExA(hkey, name, 0, type, (const BYTE *)data, bytes);
    RegCloseKey(hkey);
}

int VidCapWriteFlag(uint16_t key, const char *name, int value, int defaultValue)
{
    if (key != VIDCAP_KEY)
        return 1;
    if (VidCapReadFlag(key, name, defaultValue) == value)
        return 0;
    DWORD data = (DWORD)value;
    SetVidCapValue(name, REG_DWORD, &data, sizeof data);
    return 0;
}

int VidCapWriteDword(uint16_t key, const char *name, uint32_t value, uint32_t defaultValue)
{
    if (key != VIDCAP_KEY)
        return 1;
    if (VidCapReadDword(key, name, defaultValue) == value)
        return 0;
    DWORD data = value;
    SetVidCapValue(name, REG_DWORD, &data, sizeof data);
    return 0;
}

uint32_t VidCapReadBinary(uint16_t key, const char *name, const void *defaultBlock, void *output,
                          uint32_t size)
{
    if (key != VIDCAP_KEY)
        return 0;
    HKEY hkey;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, VidCapKeyPath(), 0, KEY_QUERY_VALUE, &hkey) == ERROR_SUCCESS) {
        DWORD type = 0, bytes = size;
        LONG status = RegQueryValueExA(hkey, name, 0, &type, (BYTE *)output, &bytes);
        RegCloseKey(hkey);
        if (status == ERROR_SUCCESS && type == REG_BINARY)
            return bytes;
        if (status != ERROR_FILE_NOT_FOUND) {
            char line[48];
            snprintf(line, sizeof line, "RegRead error %ld\n",
                     status == ERROR_SUCCESS ? (long)ERROR_DATATYPE_MISMATCH : (long)status);
            OutputDebugStringA(line);
        }
    }
    memcpy(output, defaultBlock, size);
    return size;
}

int VidCapWriteBinary(uint16_t key, const char *name, const void *data, uint32_t size)
{
    if (key != VIDCAP_KEY)
        return 0;
    SetVidCapValue(name, REG_BINARY, data, size);
    return 0;
}
