/* Tables and registry-free rules of the registry store. */
#include "store_rules.h"

#include <stdio.h>
#include <string.h>

static const char kStravoPath[] = "Software\\vexo Computer Products\\vexoVIDEO STRAVO";
static const char kServalPath[] = "Software\\vexo Computer Products\\Serval";

static const StoreKey kKeys[] = {
    {98, "Software\\vexo Computer Products\\vexoVIDEO Puma", ROOT_LOCAL_MACHINE, ROOT_CURRENT_USER},
    {99, "Software\\vexo Computer Products\\vexoVIDEO Caracal", ROOT_CURRENT_USER, ROOT_CURRENT_USER},
    {100, kStravoPath, ROOT_CURRENT_USER, ROOT_CURRENT_USER},
    {102, kStravoPath, ROOT_LOCAL_MACHINE, ROOT_LOCAL_MACHINE},
    {103, kServalPath, ROOT_CURRENT_USER, ROOT_CURRENT_USER},
    {104, kServalPath, ROOT_LOCAL_MACHINE, ROOT_LOCAL_MACHINE},
    {110, "Software\\vexo\\Lynx", ROOT_CURRENT_USER, ROOT_CURRENT_USER},
    {111, "Software\\vexo\\Lynx", ROOT_LOCAL_MACHINE, ROOT_LOCAL_MACHINE},
    {112, "Software\\vexo\\Puma", ROOT_CURRENT_USER, ROOT_CURRENT_USER},
    {113, "Software\\vexo\\Puma", ROOT_LOCAL_MACHINE, ROOT_LOCAL_MACHINE},
    {114, "Software\\vexo\\Ocelot", ROOT_CURRENT_USER, ROOT_CURRENT_USER},
    {115, "Software\\vexo\\Ocelot", ROOT_LOCAL_MACHINE, ROOT_LOCAL_MACHINE},
};

static const char *const kValueNames[] = {
    "CapRate",     "CapFormat",    "CapDrive",   "Logo",          "Language",   "Logo",
    "Language",    "ActBoard",     "LastBoard",  "PumaToMemory",  "MemoryToPuma",
    "WriteSpeed",  "ReadSpeed",    "AssumedDataRate", "WriteToMem", "WriteFromMem",
    "EditingBoard",
};

const StoreKey *FindStoreKey(uint16_t number)
{
    for (size_t i = 0; i < sizeof kKeys / sizeof kKeys[0]; i++)
        if (kKeys[i].number == number)
            return &kKeys[i];
    return 0;
}

const char *VidCapKeyPath()
{
    return "Software\\Microsoft\\Multimedia Tools\\VidCap";
}

const char *ValueName(uint16_t number)
{
    if (number >= sizeof kValueNames / sizeof kValueNames[0])
        return 0;
    return kValueNames[number];
}

int LocateStoreValue(const char *keyPath, uint16_t number, const char *name, StoreLocation *out)
{
    int n;
    if (name) {
        if (number == NO_VALUE_NUMBER) {
            n = snprintf(out->path, sizeof out->path, "%s", keyPath);
        } else {
            const char *sub = ValueName(number);
            if (!sub)
                return 0;
            n = snprintf(out->path, sizeof out->path, "%s\\%s", keyPath, sub);
        }
        out->valueName = name;
    } else {
        const char *sub = ValueName(number);
        if (!sub)
            return 0;
        n = snprintf(out->path, sizeof out->path, "%s\\%s", keyPath, sub);
        out->valueName = 0;
    }
    return n > 0 && (size_t)n < sizeof out->path;
}

int StoreTextAllowed(const char *text)
{
    size_t n = strlen(text);
    return n > 0 && n <= MAX_STORED_TEXT;
}

uint32_t ParseDecimal(const char *text)
{
    uint32_t result = 0, weight = 1;
    for (size_t i = strlen(text); i > 0; i--) {
        result += (uint32_t)((unsigned char)text[i - 1] - 48u) * weight;
        weight *= 10u;
    }
    return result;
}

uint32_t TerminateQueriedText(char *buffer, uint32_t dataBytes, uint32_t bufferSize)
{
    if (bufferSize == 0 || dataBytes > bufferSize)
        return 0;
    if (memchr(buffer, 0, dataBytes))
        return dataBytes;
    if (dataBytes == bufferSize)
        return 0;
    buffer[dataBytes] = 0;
    return dataBytes + 1;
}
