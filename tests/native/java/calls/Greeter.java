package calls;

/** A main class whose main returns; it keeps what it received. */
public final class Greeter {
    public static String[] received;

    public static void main(String[] args) {
        received = args;
    }
}
