#include "fuzzsupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QtGlobal>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace karte::fuzz {

namespace {

// Never destroyed: at exit Qt's own globals go first, and the destructor
// would touch them.
QCoreApplication* app = nullptr;
std::unique_ptr<QTemporaryDir> dir;

} // namespace

void initialise(int* argc, char*** argv)
{
    // Decoders complain about every broken file on stderr; at thousands of
    // inputs a second that is most of the run time and hides the findings.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    app = new QCoreApplication(*argc, *argv);
    dir = std::make_unique<QTemporaryDir>();
    if (!dir->isValid())
        fail("no temporary folder");
}

QString folder()
{
    return dir->path();
}

QString writeInput(const QString& fileName, const uint8_t* data, size_t size)
{
    const QString path = dir->filePath(fileName);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail("cannot write the input file");
    if (file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        fail("cannot write the input file");
    return path;
}

void fail(const char* what)
{
    std::fprintf(stderr, "fuzz property violated: %s\n", what);
    std::abort();
}

} // namespace karte::fuzz
