package bridgejvm;

import java.io.ByteArrayInputStream;
import java.io.ByteArrayOutputStream;
import java.io.DataInputStream;
import java.io.DataOutputStream;
import java.io.EOFException;
import java.io.File;
import java.io.FileInputStream;
import java.io.FileNotFoundException;
import java.io.FileOutputStream;
import java.io.IOException;
import java.io.RandomAccessFile;
import java.lang.reflect.Array;
import java.lang.reflect.Constructor;
import java.lang.reflect.Executable;
import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;
import java.net.Socket;
import java.nio.charset.Charset;
import java.nio.charset.StandardCharsets;
import java.util.ArrayDeque;
import java.util.ArrayList;
import java.util.HashMap;
import java.util.Map;
import java.util.Set;

/**
 * One launcher thread attached to this VM, served on a Java thread of its
 * own: the thread's local references, its pending exception, and the JNI
 * operations it asks for, performed through reflection.
 */
final class Session {
    private static final int MAX_FRAME = 64 << 20;
    // Constructors whose first String parameter names a file: the launcher
    // gives Windows paths, which the launcher's side translates.
    private static final Set<Class<?>> FILE_CLASSES =
            Set.of(FileOutputStream.class, FileInputStream.class, File.class, RandomAccessFile.class);

    private static final Map<Integer, Object> globals = new HashMap<>();
    private static int nextGlobal = 1;

    private final Socket socket;
    private final DataInputStream in;
    private final DataOutputStream out;
    private final ArrayList<Object> locals = new ArrayList<>();
    private final ArrayDeque<Integer> freeLocals = new ArrayDeque<>();
    private Throwable pending;

    /** A connection lost in the middle of an operation. */
    private static final class Disconnected extends RuntimeException {
        private static final long serialVersionUID = 1L;

        Disconnected(IOException cause) {
            super(cause);
        }
    }

    Session(Socket socket, DataInputStream in) throws IOException {
        this.socket = socket;
        this.in = in;
        this.out = new DataOutputStream(new java.io.BufferedOutputStream(socket.getOutputStream()));
        locals.add(null);  // handle 0 is null
    }

    static byte[] readFrame(DataInputStream in) throws IOException {
        int length = in.readInt();
        if (length < 1 || length > MAX_FRAME) throw new IOException("bad frame length " + length);
        byte[] frame = in.readNBytes(length);
        if (frame.length < length) throw new EOFException();
        return frame;
    }

    static byte[] readBlob(DataInputStream data) throws IOException {
        int length = data.readInt();
        if (length < 0) return null;
        byte[] bytes = data.readNBytes(length);
        if (bytes.length < length) throw new EOFException();
        return bytes;
    }

    private static void writeBlob(DataOutputStream data, byte[] bytes) throws IOException {
        if (bytes == null) {
            data.writeInt(-1);
            return;
        }
        data.writeInt(bytes.length);
        data.write(bytes);
    }

    private void send(int type, byte[] body) throws IOException {
        out.writeInt(body.length + 1);
        out.writeByte(type);
        out.write(body);
        out.flush();
    }

    /** Answers HELLO, then serves requests until the thread detaches or the connection ends. */
    void serve() {
        try {
            send(Protocol.REPLY, new byte[] {0});
            boolean attached = true;
            while (attached) {
                byte[] frame = readFrame(in);
                DataInputStream request = new DataInputStream(new ByteArrayInputStream(frame));
                int op = request.readUnsignedByte();
                ByteArrayOutputStream body = new ByteArrayOutputStream();
                DataOutputStream reply = new DataOutputStream(body);
                attached = op != Protocol.DETACH;
                try {
                    perform(op, request, reply);
                } catch (Disconnected e) {
                    return;
                } catch (Throwable thrown) {
                    pending = StackTraces.withoutBridgeFrames(thrown);
                    // What the operation wrote before it failed is dropped;
                    // the caller's side reads a null or zero result.
                    body.reset();
                }
                ByteArrayOutputStream frameOut = new ByteArrayOutputStream(body.size() + 1);
                frameOut.write(pending != null ? 1 : 0);
                body.writeTo(frameOut);
                send(Protocol.REPLY, frameOut.toByteArray());
            }
        } catch (IOException e) {
            // The launcher's thread is gone.
        } finally {
            locals.clear();
            try {
                socket.close();
            } catch (IOException e) {
                // nothing left to do
            }
        }
    }

    private void perform(int op, DataInputStream request, DataOutputStream reply) throws Throwable {
        switch (op) {
            case Protocol.FIND_CLASS -> {
                String name = ModifiedUtf8.decode(readBlob(request));
                reply.writeInt(local(findClass(name)));
            }
            case Protocol.GET_METHOD_ID -> {
                Class<?> owner = classOf(request.readInt());
                String name = ModifiedUtf8.decode(readBlob(request));
                String signature = ModifiedUtf8.decode(readBlob(request));
                boolean isStatic = request.readBoolean();
                reply.writeInt(Methods.idOf(Methods.find(owner, name, signature, isStatic)));
            }
            case Protocol.GET_OBJECT_CLASS -> reply.writeInt(local(nonNull(request.readInt()).getClass()));
            case Protocol.NEW_OBJECT -> {
                classOf(request.readInt());
                Executable constructor = Methods.get(request.readInt());
                if (!(constructor instanceof Constructor<?>))
                    throw new IllegalArgumentException("not a constructor: " + constructor);
                Object[] arguments = readArguments(request);
                translateFileName(constructor, arguments);
                reply.writeInt(local(invoke(constructor, null, arguments)));
            }
            case Protocol.CALL -> {
                int mode = request.readUnsignedByte();
                Object target = object(request.readInt());
                Executable method = Methods.get(request.readInt());
                if (!(method instanceof Method m))
                    throw new IllegalArgumentException("a constructor cannot be called: " + method);
                Object[] arguments = readArguments(request);
                Object result = invoke(m, mode == Protocol.CALL_STATIC ? null : target, arguments);
                writeValue(reply, m.getReturnType(), result);
            }
            case Protocol.NEW_PRIMITIVE_ARRAY -> {
                Class<?> type = primitive(request.readUnsignedByte());
                reply.writeInt(local(Array.newInstance(type, request.readInt())));
            }
            case Protocol.SET_ARRAY_REGION -> {
                Object array = nonNull(request.readInt());
                int type = request.readUnsignedByte();
                int start = request.readInt();
                int length = request.readInt();
                checkRegion(array, start, length);
                for (int i = 0; i < length; i++) Array.set(array, start + i, readPrimitive(request, type));
            }
            case Protocol.GET_ARRAY_REGION -> {
                Object array = nonNull(request.readInt());
                int type = request.readUnsignedByte();
                int start = request.readInt();
                int length = request.readInt();
                checkRegion(array, start, length);
                for (int i = 0; i < length; i++) writePrimitive(reply, type, Array.get(array, start + i));
            }
            case Protocol.NEW_OBJECT_ARRAY -> {
                int length = request.readInt();
                Class<?> type = classOf(request.readInt());
                Object initial = object(request.readInt());
                if (length < 0) throw new NegativeArraySizeException(Integer.toString(length));
                if (initial != null && !type.isInstance(initial))
                    throw new ArrayStoreException(initial.getClass().getName());
                Object[] array = (Object[]) Array.newInstance(type, length);
                java.util.Arrays.fill(array, initial);
                reply.writeInt(local(array));
            }
            case Protocol.GET_OBJECT_ARRAY_ELEMENT -> {
                Object[] array = (Object[]) nonNull(request.readInt());
                reply.writeInt(local(array[request.readInt()]));
            }
            case Protocol.SET_OBJECT_ARRAY_ELEMENT -> {
                Object[] array = (Object[]) nonNull(request.readInt());
                int index = request.readInt();
                array[index] = object(request.readInt());  // ArrayStoreException as in Java
            }
            case Protocol.GET_ARRAY_LENGTH -> reply.writeInt(Array.getLength(nonNull(request.readInt())));
            case Protocol.NEW_STRING_UTF -> {
                byte[] bytes = readBlob(request);
                reply.writeInt(bytes == null ? 0 : local(ModifiedUtf8.decode(bytes)));
            }
            case Protocol.GET_STRING_UTF -> writeBlob(reply, ModifiedUtf8.encode((String) nonNull(request.readInt())));
            case Protocol.DELETE_REF -> deleteReference(request.readInt());
            case Protocol.NEW_GLOBAL_REF -> reply.writeInt(global(object(request.readInt())));
            case Protocol.NEW_LOCAL_REF -> reply.writeInt(local(object(request.readInt())));
            case Protocol.EXCEPTION_OCCURRED -> reply.writeInt(local(pending));
            case Protocol.EXCEPTION_DESCRIBE -> describe();
            case Protocol.EXCEPTION_CLEAR -> pending = null;
            case Protocol.THROW -> {
                pending = (Throwable) nonNull(request.readInt());
                reply.writeInt(0);
            }
            case Protocol.THROW_NEW -> {
                Class<?> type = classOf(request.readInt());
                byte[] message = readBlob(request);
                Constructor<?> constructor = type.getConstructor(String.class);
                pending = (Throwable) invoke(constructor, null,
                        new Object[] {message == null ? null : ModifiedUtf8.decode(message)});
                reply.writeInt(0);
            }
            case Protocol.IS_INSTANCE_OF -> {
                Object value = object(request.readInt());
                reply.writeBoolean(value == null || classOf(request.readInt()).isInstance(value));
            }
            case Protocol.IS_SAME_OBJECT -> reply.writeBoolean(object(request.readInt()) == object(request.readInt()));
            case Protocol.GET_SUPERCLASS -> reply.writeInt(local(classOf(request.readInt()).getSuperclass()));
            case Protocol.IS_ASSIGNABLE_FROM -> {
                Class<?> from = classOf(request.readInt());
                reply.writeBoolean(classOf(request.readInt()).isAssignableFrom(from));
            }
            case Protocol.DETACH -> {}
            default -> throw new IllegalArgumentException("unknown operation " + op);
        }
    }

    /** FindClass: slash-separated names through the system class loader, initialized. */
    static Class<?> findClass(String name) {
        if (name.isEmpty() || name.indexOf('.') >= 0 || name.indexOf('\\') >= 0)
            throw new NoClassDefFoundError(name);
        try {
            return Class.forName(name.replace('/', '.'), true, ClassLoader.getSystemClassLoader());
        } catch (ClassNotFoundException e) {
            NoClassDefFoundError error = new NoClassDefFoundError(name);
            error.initCause(e);
            throw error;
        }
    }

    private static Object invoke(Executable executable, Object target, Object[] arguments) throws Throwable {
        try {
            if (executable instanceof Method method) return method.invoke(target, arguments);
            return ((Constructor<?>) executable).newInstance(arguments);
        } catch (InvocationTargetException e) {
            throw e.getCause();
        }
    }

    // The launcher names files by Windows paths; its side of the bridge
    // knows how Wine maps them.
    private void translateFileName(Executable constructor, Object[] arguments) throws IOException {
        if (!FILE_CLASSES.contains(constructor.getDeclaringClass())) return;
        Class<?>[] parameters = constructor.getParameterTypes();
        if (parameters.length == 0 || parameters[0] != String.class || arguments[0] == null) return;
        String windowsPath = (String) arguments[0];
        byte[] answer;
        boolean ok;
        try {
            send(Protocol.PATH_QUESTION, blob(windowsPath.getBytes(StandardCharsets.UTF_8)));
            DataInputStream frame = new DataInputStream(new ByteArrayInputStream(readFrame(in)));
            if (frame.readUnsignedByte() != Protocol.PATH_ANSWER) throw new IOException("expected a path answer");
            ok = frame.readBoolean();
            answer = readBlob(frame);
        } catch (IOException e) {
            throw new Disconnected(e);
        }
        String text = new String(answer, StandardCharsets.UTF_8);
        if (!ok) throw new FileNotFoundException(windowsPath + " (" + text + ")");
        arguments[0] = text;
    }

    private static byte[] blob(byte[] bytes) throws IOException {
        ByteArrayOutputStream body = new ByteArrayOutputStream(bytes.length + 4);
        writeBlob(new DataOutputStream(body), bytes);
        return body.toByteArray();
    }

    /** ExceptionDescribe: the thread's name on standard error, then the trace through printStackTrace. */
    private void describe() {
        Throwable thrown = pending;
        pending = null;
        if (thrown == null || thrown instanceof ThreadDeath) return;
        String header = "Exception in thread \"" + Thread.currentThread().getName() + "\" ";
        Server.writeStandardError(header.getBytes(Charset.defaultCharset()));
        try {
            thrown.printStackTrace();
        } catch (Throwable ignored) {
            // as the VM does: an exception while describing is dropped
        }
    }

    private Object[] readArguments(DataInputStream request) throws IOException {
        int count = request.readUnsignedByte();
        Object[] values = new Object[count];
        for (int i = 0; i < count; i++) {
            int tag = request.readUnsignedByte();
            values[i] = tag == 'L' ? object(request.readInt()) : readPrimitive(request, tag);
        }
        return values;
    }

    private static Object readPrimitive(DataInputStream data, int tag) throws IOException {
        return switch (tag) {
            case 'Z' -> data.readBoolean();
            case 'B' -> data.readByte();
            case 'C' -> data.readChar();
            case 'S' -> data.readShort();
            case 'I' -> data.readInt();
            case 'J' -> data.readLong();
            case 'F' -> data.readFloat();
            case 'D' -> data.readDouble();
            default -> throw new IOException("bad value tag " + tag);
        };
    }

    private static void writePrimitive(DataOutputStream data, int tag, Object value) throws IOException {
        switch (tag) {
            case 'Z' -> data.writeBoolean((Boolean) value);
            case 'B' -> data.writeByte((Byte) value);
            case 'C' -> data.writeChar((Character) value);
            case 'S' -> data.writeShort((Short) value);
            case 'I' -> data.writeInt((Integer) value);
            case 'J' -> data.writeLong((Long) value);
            case 'F' -> data.writeFloat((Float) value);
            case 'D' -> data.writeDouble((Double) value);
            default -> throw new IllegalArgumentException("bad value tag " + tag);
        }
    }

    private void writeValue(DataOutputStream reply, Class<?> type, Object value) throws IOException {
        if (type == void.class) {
            reply.writeByte('V');
        } else if (type.isPrimitive()) {
            int tag = type.descriptorString().charAt(0);
            reply.writeByte(tag);
            writePrimitive(reply, tag, value);
        } else {
            reply.writeByte('L');
            reply.writeInt(local(value));
        }
    }

    private static Class<?> primitive(int tag) {
        return switch (tag) {
            case 'Z' -> boolean.class;
            case 'B' -> byte.class;
            case 'C' -> char.class;
            case 'S' -> short.class;
            case 'I' -> int.class;
            case 'J' -> long.class;
            case 'F' -> float.class;
            case 'D' -> double.class;
            default -> throw new IllegalArgumentException("bad array type " + tag);
        };
    }

    private static void checkRegion(Object array, int start, int length) {
        int size = Array.getLength(array);
        if (start < 0 || length < 0 || start > size - length) {
            throw new ArrayIndexOutOfBoundsException(
                    "Array region " + start + ".." + ((long) start + length) + " out of bounds for length " + size);
        }
    }

    // --- references ---

    private int local(Object value) {
        if (value == null) return 0;
        Integer free = freeLocals.poll();
        if (free != null) {
            locals.set(free, value);
            return free;
        }
        locals.add(value);
        return locals.size() - 1;
    }

    private static int global(Object value) {
        if (value == null) return 0;
        synchronized (globals) {
            int handle = Protocol.GLOBAL_BIT | nextGlobal++;
            globals.put(handle, value);
            return handle;
        }
    }

    private Object object(int handle) {
        if (handle == 0) return null;
        if ((handle & Protocol.GLOBAL_BIT) != 0) {
            synchronized (globals) {
                Object value = globals.get(handle);
                if (value == null) throw new IllegalArgumentException("deleted global reference " + handle);
                return value;
            }
        }
        Object value = handle > 0 && handle < locals.size() ? locals.get(handle) : null;
        if (value == null) throw new IllegalArgumentException("invalid local reference " + handle);
        return value;
    }

    private Object nonNull(int handle) {
        Object value = object(handle);
        if (value == null) throw new NullPointerException();
        return value;
    }

    private Class<?> classOf(int handle) {
        return (Class<?>) nonNull(handle);
    }

    private void deleteReference(int handle) {
        if (handle == 0) return;
        if ((handle & Protocol.GLOBAL_BIT) != 0) {
            synchronized (globals) {
                globals.remove(handle);
            }
        } else if (handle > 0 && handle < locals.size() && locals.get(handle) != null) {
            locals.set(handle, null);
            freeLocals.push(handle);
        }
    }
}
