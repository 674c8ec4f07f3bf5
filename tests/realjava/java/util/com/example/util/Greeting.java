package com.example.util;

/** A class of a second jar. */
public class Greeting {
    public static String text() {
        return "hello from util.jar";
    }
}
