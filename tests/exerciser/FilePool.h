#pragma once
// The data files the exerciser opens: good files of both header layouts and all
// three record terminators, a second node with shuffled and extra items, a wider
// and a narrower file, and broken ones (truncated, bad values, no header end,
// empty, ...). The same files for every seed.

#include <QString>
#include <QStringList>

// Writes the pool into folder; returns the paths, good files first.
QStringList writeFilePool(const QString &folder);
