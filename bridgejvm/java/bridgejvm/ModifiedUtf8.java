package bridgejvm;

import java.io.ByteArrayOutputStream;

/** The modified UTF-8 of JNI: U+0000 as two bytes, supplementary characters as two surrogates. */
final class ModifiedUtf8 {
    private ModifiedUtf8() {}

    static byte[] encode(String text) {
        ByteArrayOutputStream bytes = new ByteArrayOutputStream(text.length() + 8);
        for (int i = 0; i < text.length(); i++) {
            char c = text.charAt(i);
            if (c != 0 && c < 0x80) {
                bytes.write(c);
            } else if (c < 0x800) {
                bytes.write(0xC0 | (c >> 6));
                bytes.write(0x80 | (c & 0x3F));
            } else {
                bytes.write(0xE0 | (c >> 12));
                bytes.write(0x80 | ((c >> 6) & 0x3F));
                bytes.write(0x80 | (c & 0x3F));
            }
        }
        return bytes.toByteArray();
    }

    /** Decodes leniently: a byte that starts no valid sequence stands for itself (as Latin-1). */
    static String decode(byte[] bytes) {
        StringBuilder text = new StringBuilder(bytes.length);
        int i = 0;
        while (i < bytes.length) {
            int b = bytes[i] & 0xFF;
            if (b < 0x80) {
                text.append((char) b);
                i += 1;
            } else if ((b & 0xE0) == 0xC0 && continuation(bytes, i + 1)) {
                text.append((char) (((b & 0x1F) << 6) | (bytes[i + 1] & 0x3F)));
                i += 2;
            } else if ((b & 0xF0) == 0xE0 && continuation(bytes, i + 1) && continuation(bytes, i + 2)) {
                text.append((char) (((b & 0x0F) << 12) | ((bytes[i + 1] & 0x3F) << 6) | (bytes[i + 2] & 0x3F)));
                i += 3;
            } else if ((b & 0xF8) == 0xF0 && continuation(bytes, i + 1) && continuation(bytes, i + 2)
                    && continuation(bytes, i + 3)) {
                // Standard UTF-8 for a supplementary character: not modified UTF-8, but meant.
                int codePoint = ((b & 0x07) << 18) | ((bytes[i + 1] & 0x3F) << 12)
                        | ((bytes[i + 2] & 0x3F) << 6) | (bytes[i + 3] & 0x3F);
                text.appendCodePoint(codePoint);
                i += 4;
            } else {
                text.append((char) b);
                i += 1;
            }
        }
        return text.toString();
    }

    private static boolean continuation(byte[] bytes, int at) {
        return at < bytes.length && (bytes[at] & 0xC0) == 0x80;
    }
}
