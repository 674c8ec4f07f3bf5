package com.example;

import com.example.util.Greeting;

/** A typical application: its arguments, environment, heap and a class of another jar. */
public class Typical {
    public static void main(String[] args) {
        System.out.println("args=" + String.join("|", args));
        for (String name : new String[] {"VT_JVM_HOME", "VT_JVM_PATH", "Path"})
            System.out.println(name + "=" + System.getenv(name));
        System.out.println("maxMemory=" + Runtime.getRuntime().maxMemory());
        System.out.println("greeting=" + Greeting.text());
        System.out.println("thread=" + Thread.currentThread().getName());
    }
}
