package calls;

import java.io.IOException;

/** A main class whose main throws an exception with a cause. */
public final class Thrower {
    public static void main(String[] args) {
        run(args);
    }

    private static void run(String[] args) {
        try {
            save(args.length);
        } catch (IOException e) {
            throw new IllegalStateException("could not save caf\u00e9 \u0444\u0430\u0439\u043b \u6587\u4ef6 " + args.length, e);
        }
    }

    private static void save(int count) throws IOException {
        throw new IOException("disk full");
    }
}
