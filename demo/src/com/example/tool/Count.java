package com.example.tool;

import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStreamReader;

/**
 * The demo's command-line program: counts the words of each line of its
 * standard input, writes the counts on standard output and a summary on
 * standard error, and ends with the exit code given as its argument.
 */
public class Count {
    public static void main(String[] args) throws IOException {
        BufferedReader input = new BufferedReader(new InputStreamReader(System.in));
        int lines = 0;
        for (String line; (line = input.readLine()) != null; ++lines) {
            String words = line.trim();
            System.out.println((words.isEmpty() ? 0 : words.split("\\s+").length) + " words: " + line);
        }
        System.err.println("Count read " + lines + " lines");
        System.exit(args.length > 0 ? Integer.parseInt(args[0]) : 0);
    }
}
