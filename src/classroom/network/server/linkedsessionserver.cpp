// Compiled into each program that links the session's server instead of loading its module
// (the tests, the benchmark, the fuzz target, the drivers): the server is then among Qt's
// static plugins.
#include <QtPlugin>

Q_IMPORT_PLUGIN(SessionServerPlugin)
