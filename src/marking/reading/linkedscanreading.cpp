// Compiled into each program that links the scan reader instead of loading its module (the
// tests, the benchmark, the fuzz target): the reader is then among Qt's static plugins.
#include <QtPlugin>

Q_IMPORT_PLUGIN(ScanReadingPlugin)
