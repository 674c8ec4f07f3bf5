package com.example;

import java.nio.file.Files;
import java.nio.file.Path;

/**
 * main returns at once; a non-daemon thread lives until the file named by
 * the first argument exists, then says so and ends.
 */
public class Worker {
    public static void main(String[] args) {
        Path release = Path.of(args[0]);
        Thread worker = new Thread(() -> {
            while (!Files.exists(release)) {
                try {
                    Thread.sleep(20);
                } catch (InterruptedException e) {
                    return;
                }
            }
            System.out.println("worker done");
        });
        worker.start();
        System.out.println("main returned");
    }
}
