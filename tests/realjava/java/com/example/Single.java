package com.example;

import java.nio.file.Files;
import java.nio.file.Path;

/**
 * A single-instance application: main waits until the file named by its
 * first argument exists; secondaryMain prints the arguments of a later
 * launch and answers with their number.
 */
public class Single {
    public static void main(String[] args) throws InterruptedException {
        System.out.println("primary started");
        while (!Files.exists(Path.of(args[0]))) Thread.sleep(20);
    }

    public static int secondaryMain(String[] args) {
        System.out.println("secondary [" + String.join("|", args) + "] on " + Thread.currentThread().getName());
        return args.length;
    }
}
