package bridgejvm;

import java.io.BufferedInputStream;
import java.io.DataInputStream;
import java.io.FileDescriptor;
import java.io.FileOutputStream;
import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStream;
import java.net.InetAddress;
import java.net.ServerSocket;
import java.net.Socket;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.security.MessageDigest;
import java.util.concurrent.SynchronousQueue;

/**
 * The Linux side of the bridge: started by bridgejvm-start.sh with the
 * launcher's VM options, it connects back to the launcher's jvm.dll and
 * performs the JNI operations of the launcher's threads, one session per
 * attached thread. The thread that created the VM is served on this VM's
 * main thread, so the application's main runs on "main".
 *
 * Arguments: the port of the jvm.dll on 127.0.0.1, and the file the
 * launcher keeps open while it lives. The secret every connection starts
 * with arrives on file descriptor 4.
 */
public final class Server {
    private static final FileOutputStream standardError = new FileOutputStream(FileDescriptor.err);
    private static String token;
    private static OutputStream control;
    private static boolean creatorTaken;

    private Server() {}

    public static void main(String[] args) throws Exception {
        int launcherPort = Integer.parseInt(args[0]);
        token = Files.readString(Path.of("/dev/fd/4")).trim();
        // IPv4 loopback whatever the application prefers: the launcher's side uses it.
        InetAddress loopback = InetAddress.getByAddress(new byte[] {127, 0, 0, 1});
        ServerSocket listener = new ServerSocket(0, 50, loopback);
        Socket controlSocket = new Socket(loopback, launcherPort);
        controlSocket.setTcpNoDelay(true);
        control = controlSocket.getOutputStream();
        writeControl("control " + token + " " + listener.getLocalPort() + " " + ProcessHandle.current().pid());

        installExitGuard();
        startDaemon("bridgejvm-control", () -> watchControl(controlSocket));
        Path aliveFile = Path.of(args[1]);
        startDaemon("bridgejvm-watchdog", () -> LauncherWatch.run(aliveFile));
        SynchronousQueue<Session> creator = new SynchronousQueue<>();
        startDaemon("bridgejvm-accept", () -> accept(listener, creator));
        creator.take().serve();
        // The creating thread detached: from here on the VM lives as long as
        // the application's non-daemon threads and the attached threads.
    }

    // The Java platform warns on standard error when a security manager is
    // set; the launcher's side drops what lies between these two markers.
    @SuppressWarnings("removal")
    private static void installExitGuard() {
        writeStandardError(("\u0001bridgejvm-mute " + token + "\n").getBytes(StandardCharsets.US_ASCII));
        try {
            System.setSecurityManager(new ExitGuard());
        } catch (UnsupportedOperationException | SecurityException e) {
            // -Djava.security.manager=disallow: System.exit then reaches the
            // launcher as the process's 8-bit exit status only.
        }
        writeStandardError(("\u0001bridgejvm-unmute " + token + "\n").getBytes(StandardCharsets.US_ASCII));
    }

    static synchronized void writeStandardError(byte[] bytes) {
        try {
            standardError.write(bytes);
        } catch (IOException e) {
            // no standard error
        }
    }

    private static void writeControl(String line) throws IOException {
        synchronized (Server.class) {
            control.write((line + "\n").getBytes(StandardCharsets.US_ASCII));
            control.flush();
        }
    }

    /** Called on the exiting thread before the VM shuts down. */
    static void reportExit(int status, boolean halt) {
        try {
            writeControl((halt ? "halt " : "exit ") + status);
        } catch (IOException e) {
            // The launcher is gone already.
        }
    }

    // The launcher never writes on the control connection: its end means the
    // launcher's process is gone, and this VM with it.
    private static void watchControl(Socket socket) {
        try (InputStream in = socket.getInputStream()) {
            while (in.read() >= 0) {
                // nothing is expected
            }
        } catch (IOException e) {
            // closed or reset: the same
        }
        Runtime.getRuntime().halt(1);
    }

    private static void accept(ServerSocket listener, SynchronousQueue<Session> creator) {
        for (;;) {
            Socket socket;
            try {
                socket = listener.accept();
            } catch (IOException e) {
                return;
            }
            try {
                welcome(socket, creator);
            } catch (IOException | InterruptedException | RuntimeException e) {
                try {
                    socket.close();
                } catch (IOException ignored) {
                    // already closed
                }
            }
        }
    }

    // HELLO: the secret, the kind of thread, its name (or none).
    private static void welcome(Socket socket, SynchronousQueue<Session> creator)
            throws IOException, InterruptedException {
        socket.setTcpNoDelay(true);
        socket.setSoTimeout(10000);
        DataInputStream in = new DataInputStream(new BufferedInputStream(socket.getInputStream()));
        DataInputStream hello = new DataInputStream(new java.io.ByteArrayInputStream(Session.readFrame(in)));
        if (hello.readUnsignedByte() != Protocol.HELLO) throw new IOException("expected HELLO");
        byte[] secret = Session.readBlob(hello);
        if (secret == null || !MessageDigest.isEqual(secret, token.getBytes(StandardCharsets.US_ASCII)))
            throw new IOException("wrong secret");
        int kind = hello.readUnsignedByte();
        byte[] name = Session.readBlob(hello);
        socket.setSoTimeout(0);
        Session session = new Session(socket, in);
        if (kind == Protocol.KIND_CREATOR) {
            synchronized (Server.class) {
                if (creatorTaken) throw new IOException("a second creator");
                creatorTaken = true;
            }
            creator.put(session);
            return;
        }
        Thread thread = name == null ? new Thread(session::serve)
                                     : new Thread(session::serve, ModifiedUtf8.decode(name));
        thread.setDaemon(kind == Protocol.KIND_DAEMON);
        thread.start();
    }

    private static void startDaemon(String name, Runnable body) {
        Thread thread = new Thread(body, name);
        thread.setDaemon(true);
        thread.start();
    }
}
