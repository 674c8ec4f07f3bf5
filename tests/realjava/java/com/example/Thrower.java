package com.example;

import java.io.IOException;

/** main ends with an exception that has a cause. */
public class Thrower {
    public static void main(String[] args) {
        System.out.println("about to fail");
        fail();
    }

    static void fail() {
        try {
            write();
        } catch (IOException e) {
            throw new IllegalStateException("outer failure", e);
        }
    }

    static void write() throws IOException {
        throw new IOException("disk full");
    }
}
