#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace karte::fuzz {

// Sets up what every target needs once: a QCoreApplication (image plug-ins
// and text codecs look for one) and a private folder for the input files.
void initialise(int* argc, char*** argv);

// The fuzz input written as a file of the given name in the private folder,
// so that it goes through the program's own file-opening path. Returns the
// full path.
QString writeInput(const QString& fileName, const uint8_t* data, size_t size);

// The private folder (for files a target writes itself).
QString folder();

// Aborts with a message, so that libFuzzer records the input: a property of
// the reader that must hold did not.
[[noreturn]] void fail(const char* what);

} // namespace karte::fuzz
