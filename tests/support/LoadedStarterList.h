// A starter list read and parsed as "Starterliste öffnen" does it, for the
// tests of what a file loads as.
#pragma once

#include "protocol/StarterList.h"

struct StarterListLoad
{
    bool ok = false;
    ProtocolTable rows;
    QString error; // why the file could not be read, when !ok
};

inline StarterListLoad LoadStarterList(const QString &fileName)
{
    StarterListText list = ReadStarterList(fileName);
    StarterListLoad load{list.ok, {}, list.error};
    if (list.ok)
        load.rows = ParseStarterList(std::move(list.text));
    return load;
}
