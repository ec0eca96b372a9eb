// Holds the precompiled headers the domain test programs share.
