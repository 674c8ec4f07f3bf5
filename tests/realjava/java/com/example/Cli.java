package com.example;

import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStreamReader;

/**
 * A command-line program: reads a line from standard input, writes it back
 * on standard output with its length, says so on standard error, and ends
 * with the exit code its first argument names.
 */
public class Cli {
    public static void main(String[] args) throws IOException {
        String line = new BufferedReader(new InputStreamReader(System.in)).readLine();
        System.out.println("read " + line + " " + (line == null ? -1 : line.length()));
        System.err.println("to standard error");
        System.exit(args.length > 0 ? Integer.parseInt(args[0]) : 0);
    }
}
