package com.example;

import java.io.IOException;

/** main ends with an exception that has a cause; its message holds letters of several scripts. */
public class Thrower {
    public static void main(String[] args) {
        System.out.println("about to fail");
        fail();
    }

    static void fail() {
        try {
            write();
        } catch (IOException e) {
            throw new IllegalStateException("outer failure in C:\\Users\\J\u00e9r\u00f4me\\\u041e\u0442\u0447\u0451\u0442 \u5831\u544a\u66f8", e);
        }
    }

    static void write() throws IOException {
        throw new IOException("disk full");
    }
}
