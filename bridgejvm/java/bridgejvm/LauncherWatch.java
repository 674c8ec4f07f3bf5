package bridgejvm;

import java.io.IOException;
import java.net.Socket;
import java.nio.file.DirectoryStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import java.util.Optional;

/**
 * Ends this VM when the launcher's process is gone, in case the control
 * connection outlives it. The launcher's Linux process is the one (other
 * than the Wine server) that holds the launcher's end of the control
 * connection.
 */
final class LauncherWatch {
    private static final long POLL_MS = 500;

    private LauncherWatch() {}

    static void run(Socket control) {
        Optional<ProcessHandle> launcher = findLauncher(control);
        if (launcher.isEmpty()) return;  // the control connection alone ends the VM
        ProcessHandle process = launcher.get();
        while (process.isAlive()) {
            try {
                Thread.sleep(POLL_MS);
            } catch (InterruptedException e) {
                return;
            }
        }
        Runtime.getRuntime().halt(1);
    }

    static Optional<ProcessHandle> findLauncher(Socket control) {
        try {
            long inode = socketInode(control.getPort(), control.getLocalPort());
            if (inode == 0) return Optional.empty();
            String link = "socket:[" + inode + "]";
            long self = ProcessHandle.current().pid();
            try (DirectoryStream<Path> processes = Files.newDirectoryStream(Path.of("/proc"), "[0-9]*")) {
                for (Path process : processes) {
                    long pid = Long.parseLong(process.getFileName().toString());
                    if (pid == self || !holds(process, link)) continue;
                    String name = Files.readString(process.resolve("comm")).trim();
                    if (name.startsWith("wineserver")) continue;
                    Optional<ProcessHandle> handle = ProcessHandle.of(pid);
                    if (handle.isPresent()) return handle;
                }
            }
        } catch (IOException | RuntimeException e) {
            // No /proc, or a process went away while we looked: no watch.
        }
        return Optional.empty();
    }

    // The inode of the IPv4 socket bound to localPort and connected to remotePort.
    private static long socketInode(int localPort, int remotePort) throws IOException {
        List<String> lines = Files.readAllLines(Path.of("/proc/net/tcp"));
        for (String line : lines.subList(1, lines.size())) {
            String[] fields = line.trim().split("\\s+");
            if (fields.length < 10) continue;
            if (port(fields[1]) == localPort && port(fields[2]) == remotePort)
                return Long.parseLong(fields[9]);
        }
        return 0;
    }

    private static int port(String address) {
        return Integer.parseInt(address.substring(address.indexOf(':') + 1), 16);
    }

    private static boolean holds(Path process, String link) {
        try (DirectoryStream<Path> fds = Files.newDirectoryStream(process.resolve("fd"))) {
            for (Path fd : fds) {
                try {
                    if (Files.readSymbolicLink(fd).toString().equals(link)) return true;
                } catch (IOException e) {
                    // closed meanwhile
                }
            }
        } catch (IOException | SecurityException e) {
            // another user's process, or gone
        }
        return false;
    }
}
