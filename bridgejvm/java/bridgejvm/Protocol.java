package bridgejvm;

/**
 * Message types of a session connection; bridgejvm/Protocol.h holds the same
 * numbers. A frame is a big-endian int length, then that many bytes: one
 * type byte and the payload.
 */
final class Protocol {
    private Protocol() {}

    // Launcher to VM.
    static final int HELLO = 1;
    static final int FIND_CLASS = 2;
    static final int GET_METHOD_ID = 3;
    static final int GET_OBJECT_CLASS = 4;
    static final int NEW_OBJECT = 5;
    static final int CALL = 6;
    static final int NEW_PRIMITIVE_ARRAY = 7;
    static final int SET_ARRAY_REGION = 8;
    static final int GET_ARRAY_REGION = 9;
    static final int NEW_OBJECT_ARRAY = 10;
    static final int GET_OBJECT_ARRAY_ELEMENT = 11;
    static final int SET_OBJECT_ARRAY_ELEMENT = 12;
    static final int GET_ARRAY_LENGTH = 13;
    static final int NEW_STRING_UTF = 14;
    static final int GET_STRING_UTF = 15;
    static final int DELETE_REF = 16;
    static final int NEW_GLOBAL_REF = 17;
    static final int NEW_LOCAL_REF = 18;
    static final int EXCEPTION_OCCURRED = 19;
    static final int EXCEPTION_DESCRIBE = 20;
    static final int EXCEPTION_CLEAR = 21;
    static final int THROW = 22;
    static final int THROW_NEW = 23;
    static final int IS_INSTANCE_OF = 24;
    static final int IS_SAME_OBJECT = 25;
    static final int GET_SUPERCLASS = 26;
    static final int IS_ASSIGNABLE_FROM = 27;
    static final int DETACH = 28;
    static final int PATH_ANSWER = 29;

    // VM to launcher.
    static final int REPLY = 100;
    static final int PATH_QUESTION = 101;

    // Kinds of HELLO.
    static final int KIND_CREATOR = 0;
    static final int KIND_THREAD = 1;
    static final int KIND_DAEMON = 2;

    // CALL modes.
    static final int CALL_VIRTUAL = 0;
    static final int CALL_STATIC = 1;

    // Handles: locals are indexes into the session's table, globals carry this bit.
    static final int GLOBAL_BIT = 0x40000000;
}
