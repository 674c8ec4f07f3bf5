package bridgejvm;

import java.security.Permission;

/**
 * Reports every System.exit, Runtime.exit and Runtime.halt to the launcher
 * with its full status (the process exit status only keeps 8 bits), and
 * permits everything else. Installed before any application code runs.
 */
@SuppressWarnings("removal")
final class ExitGuard extends SecurityManager {
    @Override
    public void checkPermission(Permission permission) {}

    @Override
    public void checkPermission(Permission permission, Object context) {}

    @Override
    public void checkExit(int status) {
        Server.reportExit(status, calledFromHalt());
    }

    private static boolean calledFromHalt() {
        return StackWalker.getInstance().walk(frames -> frames
                .filter(frame -> frame.getClassName().equals("java.lang.Runtime"))
                .findFirst()
                .map(frame -> frame.getMethodName().equals("halt"))
                .orElse(false));
    }
}
