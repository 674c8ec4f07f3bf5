package bridgejvm;

import java.lang.reflect.Constructor;
import java.lang.reflect.Executable;
import java.lang.reflect.Method;
import java.lang.reflect.Modifier;
import java.util.ArrayList;
import java.util.HashMap;
import java.util.List;
import java.util.Map;

/** Method lookup as JNI does it, and the method IDs, which all threads share. */
final class Methods {
    private static final List<Executable> byId = new ArrayList<>();
    private static final Map<Executable, Integer> ids = new HashMap<>();

    static {
        byId.add(null);  // 0 is no method
    }

    private Methods() {}

    static synchronized int idOf(Executable executable) {
        Integer id = ids.get(executable);
        if (id != null) return id;
        byId.add(executable);
        ids.put(executable, byId.size() - 1);
        return byId.size() - 1;
    }

    static synchronized Executable get(int id) {
        if (id <= 0 || id >= byId.size()) throw new IllegalArgumentException("unknown method ID " + id);
        return byId.get(id);
    }

    static String descriptor(Executable executable) {
        StringBuilder text = new StringBuilder("(");
        for (Class<?> parameter : executable.getParameterTypes()) text.append(parameter.descriptorString());
        text.append(')');
        text.append(executable instanceof Method method ? method.getReturnType().descriptorString() : "V");
        return text.toString();
    }

    /**
     * GetMethodID (constructors of the class itself; instance methods of the
     * class, its superclasses and interfaces) and GetStaticMethodID (static
     * methods of the class and its superclasses).
     */
    static Executable find(Class<?> owner, String name, String signature, boolean isStatic) {
        Executable found = null;
        if (name.equals("<init>")) {
            if (!isStatic) {
                for (Constructor<?> constructor : owner.getDeclaredConstructors())
                    if (descriptor(constructor).equals(signature)) found = constructor;
            }
        } else if (!name.equals("<clinit>")) {
            for (Class<?> c = owner; c != null && found == null; c = c.getSuperclass())
                found = declared(c, name, signature, isStatic);
            if (found == null && !isStatic) found = inInterfaces(owner, name, signature);
        }
        if (found == null) {
            throw new NoSuchMethodError((isStatic ? "static " : "") + owner.descriptorString() + "." + name
                    + signature);
        }
        try {
            found.setAccessible(true);
        } catch (RuntimeException e) {
            // A member of a module that is not open: public members still work.
        }
        return found;
    }

    private static Method declared(Class<?> c, String name, String signature, boolean isStatic) {
        for (Method method : c.getDeclaredMethods()) {
            if (method.getName().equals(name) && Modifier.isStatic(method.getModifiers()) == isStatic
                    && descriptor(method).equals(signature))
                return method;
        }
        return null;
    }

    private static Method inInterfaces(Class<?> owner, String name, String signature) {
        for (Class<?> c = owner; c != null; c = c.getSuperclass()) {
            for (Class<?> implemented : c.getInterfaces()) {
                Method method = declared(implemented, name, signature, false);
                if (method == null) method = inInterfaces(implemented, name, signature);
                if (method != null) return method;
            }
        }
        return null;
    }
}
