package com.example.agent;

import java.lang.reflect.Field;

/**
 * A Java agent whose premain runs while the VM is being created (inside
 * JNI_CreateJavaVM): "exit=N" ends the VM there with System.exit(N),
 * "crash" makes it crash (a write to address 0).
 */
public class Premain {
    public static void premain(String arguments) throws Exception {
        if (arguments == null) return;
        if (arguments.startsWith("exit=")) System.exit(Integer.parseInt(arguments.substring(5)));
        if (arguments.equals("crash")) {
            Class<?> unsafeClass = Class.forName("sun.misc.Unsafe");
            Field field = unsafeClass.getDeclaredField("theUnsafe");
            field.setAccessible(true);
            unsafeClass.getMethod("putAddress", long.class, long.class).invoke(field.get(null), 0L, 0L);
        }
    }
}
