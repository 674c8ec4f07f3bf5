package com.example;

/** One line on each standard stream. */
public class Streams {
    public static void main(String[] args) {
        System.out.println("to the output file");
        System.err.println("to the error file");
    }
}
