package bridgejvm;

import java.util.Arrays;
import java.util.Collections;
import java.util.IdentityHashMap;
import java.util.Set;

/**
 * Exceptions as the launcher would see them in an in-process VM: frames of
 * the bridge, and the reflection frames through which it called into Java,
 * are cut from the bottom of their stack traces. An exception the bridge
 * raises itself (NoClassDefFoundError of FindClass, ...) is left with no
 * frames, as one that a VM raises for native code.
 */
final class StackTraces {
    private StackTraces() {}

    static Throwable withoutBridgeFrames(Throwable thrown) {
        trim(thrown, Collections.newSetFromMap(new IdentityHashMap<>()));
        return thrown;
    }

    private static void trim(Throwable thrown, Set<Throwable> seen) {
        if (thrown == null || !seen.add(thrown)) return;
        StackTraceElement[] frames = thrown.getStackTrace();
        int end = frames.length;
        // The bridge's own frames at the bottom of the stack ...
        while (end > 0 && isBridge(frames[end - 1])) end--;
        if (end < frames.length) {
            // ... and the reflection plumbing right above them.
            while (end > 0 && isReflection(frames[end - 1])) end--;
            thrown.setStackTrace(Arrays.copyOf(frames, end));
        }
        trim(thrown.getCause(), seen);
        for (Throwable suppressed : thrown.getSuppressed()) trim(suppressed, seen);
    }

    private static boolean isBridge(StackTraceElement frame) {
        return frame.getClassName().startsWith("bridgejvm.")
                || (frame.getClassName().equals("java.lang.Thread") && frame.getMethodName().equals("run"));
    }

    private static boolean isReflection(StackTraceElement frame) {
        String type = frame.getClassName();
        String method = frame.getMethodName();
        return type.startsWith("jdk.internal.reflect.")
                || (type.equals("java.lang.reflect.Method") && method.equals("invoke"))
                || (type.equals("java.lang.reflect.Constructor") && method.startsWith("newInstance"))
                || (type.equals("java.lang.Class") && method.startsWith("forName"));
    }
}
