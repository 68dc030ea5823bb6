/* The one function a SecurityAccess key plug-in exports. Key algorithms belong
   to vehicle makers: the session library never holds one, it loads a plug-in
   (a shared library) from the folders the user or the host names. Plain C, so a
   plug-in builds with any compiler. */
#ifndef TAVRIN_SECURITY_KEY_H
#define TAVRIN_SECURITY_KEY_H

#ifdef __cplusplus
extern "C" {
#endif

/* The version of this interface; a plug-in exports it as tavrin_security_key_version. */
#define TAVRIN_SECURITY_KEY_VERSION 1

/* Computes the key for the seed an ECU gave at the requestSeed level `level`
   (odd: 0x01, 0x03, ...). Writes at most keyCapacity bytes to key and returns
   how many it wrote (1 or more), or 0 when it has no key for this seed or level.
   It must not keep the seed or the key, nor print them. */
typedef unsigned int (*TavrinSecurityKeyFunction)(unsigned int level, const unsigned char* seed,
                                                  unsigned int seedLength, unsigned char* key,
                                                  unsigned int keyCapacity);

#define TAVRIN_SECURITY_KEY_SYMBOL "tavrin_security_key"

#ifdef __cplusplus
}
#endif

#endif
