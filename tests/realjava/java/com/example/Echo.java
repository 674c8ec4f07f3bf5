package com.example;

/** Prints each argument in brackets on a line of its own, and its length. */
public class Echo {
    public static void main(String[] args) {
        for (String argument : args) System.out.println("[" + argument + "] " + argument.length());
    }
}
