package calls;

/** A class whose main is an instance method: no static main(String[]). */
public final class NoMain {
    public void main(String[] args) {}

    public static void main() {}
}
