#pragma once
// An exception that escapes main: its stack trace in the "Java Exception"
// dialog, and the user's choice between going on and stopping.

#include <jni.h>

class Launcher;

// Shows the exception's trace; true when the user chose to stop the
// application. No dialog, and false, when the trace can't be had.
bool handleUncaughtException(Launcher& launcher, jthrowable exception, JNIEnv* env);
