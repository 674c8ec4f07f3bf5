package com.example.demo;

/** The demo application: prints what the launcher gave it. */
public final class Hello {
    public static void main(String[] args) {
        System.out.println("Hello from Java " + System.getProperty("java.version")
                + " (" + System.getProperty("java.vm.name") + ")");
        System.out.println("arguments (" + args.length + "):");
        for (String argument : args) {
            System.out.println("  [" + argument + "]");
        }
        System.out.println("VT_JVM_HOME = " + System.getenv("VT_JVM_HOME"));
        System.out.println("VT_JVM_PATH = " + System.getenv("VT_JVM_PATH"));
        System.out.println("-Ddemo.runtime = " + System.getProperty("demo.runtime"));
        System.out.println("maximum heap = " + Runtime.getRuntime().maxMemory() / (1024 * 1024) + " MB");
        System.out.println("class path = " + System.getProperty("java.class.path"));
    }
}
