package bridgejvm;

import java.io.IOException;
import java.nio.file.DirectoryStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.Optional;

/**
 * Ends this VM when the launcher's process is gone, in case the control
 * connection outlives it. The launcher keeps a file open for its whole life
 * (deleted when its handle closes): the launcher's Linux process is the one,
 * besides the Wine server, that holds it. When that process cannot be told,
 * the file's disappearance is the sign.
 */
final class LauncherWatch {
    private static final long POLL_MS = 500;

    private LauncherWatch() {}

    static void run(Path aliveFile) {
        Optional<Path> launcher = holderOf(aliveFile);
        String started = launcher.map(LauncherWatch::startTime).orElse(null);
        for (;;) {
            boolean alive = started != null ? started.equals(startTime(launcher.get())) : Files.exists(aliveFile);
            if (!alive) Runtime.getRuntime().halt(1);
            try {
                Thread.sleep(POLL_MS);
            } catch (InterruptedException e) {
                return;
            }
        }
    }

    /**
     * The start time of a living process (field 22 of its stat file), or
     * null when it is gone or a zombie; the time tells a reused process id.
     */
    private static String startTime(Path process) {
        try {
            String stat = Files.readString(process.resolve("stat"));
            String[] fields = stat.substring(stat.lastIndexOf(')') + 2).split(" ");
            boolean dead = fields[0].equals("Z") || fields[0].equals("X");
            return dead ? null : fields[19];
        } catch (IOException | RuntimeException e) {
            return null;
        }
    }

    /** The /proc folder of the launcher's process. */
    static Optional<Path> holderOf(Path file) {
        try {
            Path target = file.toRealPath();
            long self = ProcessHandle.current().pid();
            try (DirectoryStream<Path> processes = Files.newDirectoryStream(Path.of("/proc"), "[0-9]*")) {
                for (Path process : processes) {
                    long pid = Long.parseLong(process.getFileName().toString());
                    if (pid == self || !holds(process, target)) continue;
                    if (Files.readString(process.resolve("comm")).trim().startsWith("wineserver")) continue;
                    return Optional.of(process);
                }
            }
        } catch (IOException | RuntimeException e) {
            // No /proc, or the file is gone already.
        }
        return Optional.empty();
    }

    private static boolean holds(Path process, Path target) {
        try (DirectoryStream<Path> fds = Files.newDirectoryStream(process.resolve("fd"))) {
            for (Path fd : fds) {
                try {
                    if (Files.readSymbolicLink(fd).equals(target)) return true;
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
