package calls;

import java.io.ByteArrayOutputStream;
import java.io.PrintStream;
import java.io.PrintWriter;
import java.io.StringWriter;

/** What the native tests ask of Java itself, to compare the native code with. */
public final class Probe {
    private static PrintStream savedOut;
    private static PrintStream savedErr;
    private static ByteArrayOutputStream captured;

    private Probe() {}

    public static void saveStreams() {
        savedOut = System.out;
        savedErr = System.err;
    }

    public static void restoreStreams() {
        System.out.flush();
        System.err.flush();
        System.setOut(savedOut);
        System.setErr(savedErr);
    }

    public static void printOut(String text) {
        System.out.println(text);
        System.out.flush();
    }

    public static void printErr(String text) {
        System.err.println(text);
        System.err.flush();
    }

    /** Collects what is printed to System.err until takeErr. */
    public static void captureErr() {
        saveStreams();
        captured = new ByteArrayOutputStream();
        System.setErr(new PrintStream(captured, true));
    }

    public static String takeErr() {
        restoreStreams();
        return captured.toString();
    }

    /** The trace as printStackTrace writes it, through a character stream. */
    public static String traceOf(Throwable exception) {
        StringWriter text = new StringWriter();
        exception.printStackTrace(new PrintWriter(text, true));
        return text.toString();
    }
}
