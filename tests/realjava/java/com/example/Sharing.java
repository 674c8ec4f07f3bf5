package com.example;

import com.sun.management.HotSpotDiagnosticMXBean;
import java.lang.management.ManagementFactory;
import java.nio.file.Files;
import java.nio.file.Path;

/**
 * The VM's SharedArchiveFile flag (or the flag the first argument names,
 * such as AOTCache), and whether that file is mapped: the bridge runtime's VM
 * runs on Linux, whose /proc/self/maps names the files mapped into the process.
 */
public class Sharing {
    public static void main(String[] args) throws Exception {
        String flag = args.length > 0 ? args[0] : "SharedArchiveFile";
        String archive = ManagementFactory.getPlatformMXBean(HotSpotDiagnosticMXBean.class)
                .getVMOption(flag).getValue();
        boolean mapped = !archive.isEmpty()
                && Files.readAllLines(Path.of("/proc/self/maps")).stream().anyMatch(line -> line.endsWith(" " + archive));
        System.out.println(flag + "=" + archive + " mapped=" + mapped);
    }
}
