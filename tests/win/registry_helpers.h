// Direct registry access for the Windows tests: fixtures are set up and results
// read back without going through the store under test.
#ifndef STRAVO_TEST_REGISTRY_HELPERS_H
#define STRAVO_TEST_REGISTRY_HELPERS_H

#include <windows.h>

#include <string>
#include <vector>

struct RegValue {
    bool found = false;
    DWORD type = 0;
    std::vector<unsigned char> data;
    std::string text() const { return std::string(data.begin(), data.end()); }
    DWORD dword() const;
};

void DeleteRegTree(HKEY root, const char *path);
bool RegKeyExists(HKEY root, const char *path);
void SetRegValue(HKEY root, const char *path, const char *name, DWORD type, const void *data,
                 DWORD size);
void SetRegText(HKEY root, const char *path, const char *name, const char *text);
void SetRegDword(HKEY root, const char *path, const char *name, DWORD value);
RegValue GetRegValue(HKEY root, const char *path, const char *name);

// Removes every key the program owns or reads, under both roots.
void ResetProgramRegistry();

#endif
