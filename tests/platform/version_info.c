/* Reads the version resource of a Windows binary through the functions that
 * Explorer's Properties use (GetFileVersionInfo, VerQueryValue), prints it,
 * and checks it against the project's version and the binary's file name.
 *
 *   version_info FILE VERSION FILE_NAME
 *
 * Exit 0 when the resource is there and agrees, 1 when it is missing or
 * differs, 2 on a bad command line. */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int failures = 0;

static void fail(const char* what) {
  printf("  WRONG: %s\n", what);
  ++failures;
}

/* VERSION as "a.b.c.d", missing parts 0, into the two DWORDs of
 * VS_FIXEDFILEINFO. */
static int parse_version(const char* text, DWORD* ms, DWORD* ls) {
  unsigned long part[4] = {0, 0, 0, 0};
  int count = 0;
  const char* p = text;
  while (count < 4) {
    char* end;
    part[count++] = strtoul(p, &end, 10);
    if (end == p || part[count - 1] > 0xFFFF) return 0;
    if (*end == '\0') break;
    if (*end != '.') return 0;
    p = end + 1;
  }
  *ms = (DWORD)(part[0] << 16 | part[1]);
  *ls = (DWORD)(part[2] << 16 | part[3]);
  return 1;
}

static const char* string_value(void* info, const char* block, const char* name) {
  char path[128];
  char* value = NULL;
  UINT length = 0;
  snprintf(path, sizeof path, "\\StringFileInfo\\%s\\%s", block, name);
  if (!VerQueryValueA(info, path, (void**)&value, &length) || value == NULL) return NULL;
  return value;
}

/* Prints NAME's value and checks it: equal to EXPECTED, or not empty when
 * EXPECTED is NULL. */
static void check_string(void* info, const char* block, const char* name, const char* expected) {
  const char* value = string_value(info, block, name);
  char what[256];
  printf("  %-16s %s\n", name, value ? value : "(missing)");
  if (value == NULL || value[0] == '\0') {
    snprintf(what, sizeof what, "%s is missing", name);
    fail(what);
  } else if (expected != NULL && strcmp(value, expected) != 0) {
    snprintf(what, sizeof what, "%s is \"%s\", not \"%s\"", name, value, expected);
    fail(what);
  }
}

int main(int argc, char** argv) {
  DWORD handle = 0, size, want_ms, want_ls;
  void* info;
  VS_FIXEDFILEINFO* fixed = NULL;
  UINT length = 0;
  struct {
    WORD language, codepage;
  }* translation = NULL;
  char block[16];
  const char* base;
  size_t name_length;

  if (argc != 4 || !parse_version(argv[2], &want_ms, &want_ls)) {
    fprintf(stderr, "usage: version_info FILE VERSION FILE_NAME\n");
    return 2;
  }
  base = argv[3];
  name_length = strlen(base);

  size = GetFileVersionInfoSizeA(argv[1], &handle);
  if (size == 0) {
    printf("%s: no version resource (error %lu)\n", argv[1], (unsigned long)GetLastError());
    return 1;
  }
  info = malloc(size);
  if (info == NULL || !GetFileVersionInfoA(argv[1], 0, size, info)) {
    printf("%s: the version resource cannot be read\n", argv[1]);
    return 1;
  }
  printf("%s:\n", argv[1]);

  if (!VerQueryValueA(info, "\\", (void**)&fixed, &length) || length < sizeof *fixed ||
      fixed->dwSignature != 0xFEEF04BD) {
    fail("no fixed file information");
  } else {
    printf("  %-16s %u.%u.%u.%u\n", "file version", HIWORD(fixed->dwFileVersionMS),
           LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
           LOWORD(fixed->dwFileVersionLS));
    printf("  %-16s %u.%u.%u.%u\n", "product version", HIWORD(fixed->dwProductVersionMS),
           LOWORD(fixed->dwProductVersionMS), HIWORD(fixed->dwProductVersionLS),
           LOWORD(fixed->dwProductVersionLS));
    if (fixed->dwFileVersionMS != want_ms || fixed->dwFileVersionLS != want_ls)
      fail("the file version is not the project's");
    if (fixed->dwProductVersionMS != want_ms || fixed->dwProductVersionLS != want_ls)
      fail("the product version is not the project's");
    int is_dll = name_length > 4 && _stricmp(base + name_length - 4, ".dll") == 0;
    if (fixed->dwFileType != (is_dll ? VFT_DLL : VFT_APP))
      fail(is_dll ? "the file type is not VFT_DLL" : "the file type is not VFT_APP");
  }

  /* The texts live in a block named after their language and code page. */
  if (!VerQueryValueA(info, "\\VarFileInfo\\Translation", (void**)&translation, &length) ||
      length < sizeof *translation) {
    fail("no translation table");
  } else {
    snprintf(block, sizeof block, "%04x%04x", translation->language, translation->codepage);
    printf("  %-16s %s\n", "language", block);
    check_string(info, block, "FileVersion", argv[2]);
    check_string(info, block, "ProductVersion", argv[2]);
    check_string(info, block, "ProductName", "impordano");
    check_string(info, block, "FileDescription", NULL);
    check_string(info, block, "OriginalFilename", base);
  }

  free(info);
  return failures ? 1 : 0;
}
