package com.example;

/** System.exit with the first argument, from a thread other than main; a shutdown hook runs first. */
public class Exiter {
    public static void main(String[] args) throws InterruptedException {
        Runtime.getRuntime().addShutdownHook(new Thread(() -> System.out.println("hook ran")));
        Thread exiter = new Thread(() -> System.exit(Integer.parseInt(args[0])));
        exiter.start();
        exiter.join();
        System.out.println("not reached");
    }
}
