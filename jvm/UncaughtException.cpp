#include "jvm/UncaughtException.h"

bool handleUncaughtException(Launcher&, jthrowable, JNIEnv*) { return false; }
