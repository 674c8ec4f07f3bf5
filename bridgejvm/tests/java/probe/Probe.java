package probe;

/** Members of every kind for the bridge's JNI tests. */
public class Probe {
    private final int base;

    public Probe(int base) {
        this.base = base;
    }

    public int plus(int value) {
        return base + value;
    }

    public static int add(int a, int b) {
        return a + b;
    }

    public static long mix(byte b, char c, short s, long l, float f, double d, boolean z) {
        return b + c + s + l + (long) f + (long) d + (z ? 1000 : 0);
    }

    public static double half(double value) {
        return value / 2;
    }

    public static float third(float value) {
        return value / 3;
    }

    public static boolean isEmpty(String text) {
        return text.isEmpty();
    }

    public static char first(String text) {
        return text.charAt(0);
    }

    public static String join(String a, String b) {
        return a + b;
    }

    public static String text(int which) {
        return switch (which) {
            case 0 -> "nul\u0000, \u00e9, \ud83d\ude00";
            default -> "";
        };
    }

    public static String threadName() {
        return Thread.currentThread().getName();
    }

    public static String environment(String name) {
        return System.getenv(name);
    }

    public static void fail(String message) throws java.io.IOException {
        throw new IllegalStateException(message, new java.io.IOException("the cause"));
    }

    /** A non-daemon thread that lives for the given time. */
    public static void startWorker(int milliseconds) {
        new Thread(() -> {
            try {
                Thread.sleep(milliseconds);
            } catch (InterruptedException e) {
                // ends early
            }
        }).start();
    }

    public static void printOut(String text) {
        System.out.println(text);
    }
}
