# Pravelo.exe: the logic wired to the Windows platform.
