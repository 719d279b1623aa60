// Direct registry access for the Windows tests.
#include "registry_helpers.h"

#include <string.h>

DWORD RegValue::dword() const
{
    DWORD value = 0;
    memcpy(&value, data.data(), data.size() < 4 ? data.size() : 4);
    return value;
}

void DeleteRegTree(HKEY root, const char *path)
{
    RegDeleteTreeA(root, path);
    RegDeleteKeyA(root, path);
}

bool RegKeyExists(HKEY root, const char *path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void SetRegValue(HKEY root, const char *path, const char *name, DWORD type, const void *data,
                 DWORD size)
{
    HKEY key;
    if (RegCreateKeyExA(root, path, 0, 0, 0, KEY_WRITE, 0, &key, 0) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, type, (const BYTE *)data, size);
    RegCloseKey(key);
}

void SetRegText(HKEY root, const char *path, const char *name, const char *text)
{
    SetRegValue(root, path, name, REG_SZ, text, (DWORD)strlen(text) + 1);
}

void SetRegDword(HKEY root, const char *path, const char *name, DWORD value)
{
    SetRegValue(root, path, name, REG_DWORD, &value, sizeof value);
}

RegValue GetRegValue(HKEY root, const char *path, const char *name)
{
    RegValue result;
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return result;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, 0, &result.type, 0, &size) == ERROR_SUCCESS) {
        result.data.resize(size);
        if (RegQueryValueExA(key, name, 0, &result.type, result.data.data(), &size) == ERROR_SUCCESS) {
            result.data.resize(size);
            result.found = true;
        }
    }
    RegCloseKey(key);
    return result;
}

void ResetProgramRegistry()
{
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        DeleteRegTree(root, "Software\\vexo Computer Products");
        DeleteRegTree(root, "Software\\vexo");
    }
    DeleteRegTree(HKEY_CURRENT_USER, "Software\\Microsoft\\Multimedia Tools\\VidCap");
}
