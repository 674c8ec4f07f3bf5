#pragma once
// The kind of JVM the settings ask for ("JVM Type"): client first (the
// default), a server JVM only, or a server JVM first.

enum class JvmType { Default = 0, Server = 1, FavorServer = 2 };
