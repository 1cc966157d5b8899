/*
 * Scanner SDK: drives Bluetooth barcode scanners over their serial ports.
 *
 * ztInitialize opens a scanner on port COM<n> and returns an opaque ScannerHandle; every other operation
 * takes that handle, runs one request/response exchange with the scanner and returns a result code
 * (SDK_OK or a negative SDK_ERR_... value). Most operations also exist under the prefix NrBtBarcode with
 * the same suffix; a second name is the same function.
 *
 * Ports: COM<n> is the device $ZT_PORT_DIR/COM<n> when ZT_PORT_DIR is set, else /dev/rfcomm<n>.
 *
 * Thread safety
 *  - Operations on different handles run in parallel. One operation at a time per handle: a second call
 *    on a handle that is busy returns SDK_ERR_BUSY after 1 ms instead of waiting.
 *  - Both application callbacks run on the SDK's one event-dispatcher thread, one at a time, in the order
 *    in which the scanners' events arrived. A callback must not call ztDeinitialize, and should return
 *    quickly: a slow callback delays later events (not the scanners' links).
 *  - The callbacks are process-wide: every ztInitialize that gets past its argument checks replaces both,
 *    for all open handles.
 *
 * Debugging: ZT_TRACE=1 in the environment writes a trace of the link and the engine to standard error.
 */
#ifndef ZT330SDK_H
#define ZT330SDK_H

#include "zt330sdk_version.h"

#if defined(ZT_SDK_BUILDING)
#define ZT_API __attribute__((visibility("default")))
#else
#define ZT_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Result codes. */
enum {
    SDK_OK = 0,                       /* done */
    SDK_ERR_OPEN_FAILED = -1,         /* the port could not be opened; or the request could not be built */
    SDK_ERR_BAD_PORT = -2,            /* ztInitialize: port number above 100 */
    SDK_ERR_PORT_UNAVAILABLE = -3,    /* ztInitialize: no such device */
    SDK_ERR_PORT_IN_USE = -4,         /* ztInitialize: a handle for this port is already open (or opening) */
    SDK_ERR_NOT_CONNECTED = -5,       /* ztDeinitialize: the scanner's link is not up */
    SDK_ERR_UNKNOWN_HANDLE = -6,      /* ztDeinitialize: null or unknown handle */
    SDK_ERR_ALREADY_CONNECTED = -7,   /* connect asked of a link that is already connected */
    SDK_ERR_LINK = -8,                /* a frame could not be written, or no matching response after the repeats */
    SDK_ERR_TIMEOUT = -9,             /* no response within three waits of 1000 ms */
    SDK_ERR_ABORTED = -12,            /* cut short because the port is being closed */
    SDK_ERR_BUSY = -15,               /* another operation holds the handle; or ztCollectingOnce during a collection */
    SDK_ERR_INVALID_HANDLE = -16,     /* null or unknown handle (every operation but ztDeinitialize) */
    SDK_ERR_PORT_LOST = -17,          /* the port became invalid (scanner gone), or the link is down */
    SDK_ERR_INVALID_ARG = -18,        /* null pointer or value out of range */
    SDK_ERR_DEVICE_REFUSED = -19,     /* the scanner refused, or answered in the wrong form */
    SDK_ERR_UNSUPPORTED_OPTION = -21  /* symbology group/item pair not supported */
};

/* Results of ztDeinitialize with the shutdown-all flag. */
enum {
    SDK_SHUTDOWN_DONE = 1,       /* every handle closed, the SDK stopped */
    SDK_SHUTDOWN_NOT_RUNNING = 2 /* the SDK was not running */
};

/* One open scanner. Owned by the SDK; invalid after ztDeinitialize or after its DisconnectCallback. */
typedef struct ZtScanner* ScannerHandle;

/* The scanner of `handle` was lost. After the callback returns the handle is closed and invalid. */
typedef void (*DisconnectCallback)(ScannerHandle handle);

/*
 * A barcode scanned live (deleted == 0) or a deleted-data report (deleted == 1). `record` holds the
 * scan record: tag byte, 7-byte scanner time, two little-endian doubles, then the text and a zero byte;
 * `length` = 25 + text length. The record is valid only during the call.
 */
typedef void (*ScanDataCallback)(ScannerHandle handle, const unsigned char* record, int length, int deleted);

/*
 * Opens the scanner on port COM<port> (0..100): opens and configures the port, waits 1000 ms for the
 * link to settle and proves that the scanner answers (a little over 1 s in all; about 4 s when the
 * scanner is silent). Replaces the process-wide callbacks with `onDisconnect` and `onScanData` (either
 * may be null: the event is then dropped, a lost scanner's handle is still closed).
 * [out] error: SDK_OK, or SDK_ERR_BAD_PORT, SDK_ERR_PORT_IN_USE, SDK_ERR_OPEN_FAILED,
 *       SDK_ERR_PORT_UNAVAILABLE, SDK_ERR_LINK, SDK_ERR_TIMEOUT, SDK_ERR_ABORTED, SDK_ERR_PORT_LOST.
 *       Must not be null (a null error pointer opens nothing and returns null).
 * Returns the handle, or null on failure.
 */
ZT_API ScannerHandle ztInitialize(unsigned int port, int* error, DisconnectCallback onDisconnect,
                                  ScanDataCallback onScanData);

/*
 * shutdownAll == 0: closes `handle`. Returns SDK_OK, SDK_ERR_UNKNOWN_HANDLE (null or unknown), or
 * SDK_ERR_NOT_CONNECTED (the link is down; the handle stays open: retry, or shut the SDK down).
 * shutdownAll != 0: `handle` is ignored; closes every handle without calling DisconnectCallback and stops
 * the SDK. Returns SDK_SHUTDOWN_DONE, or SDK_SHUTDOWN_NOT_RUNNING when it was not running.
 * Must not be called from a callback.
 */
ZT_API int ztDeinitialize(ScannerHandle handle, int shutdownAll);

/*
 * Reads the battery status: two values whose meaning is the scanner's.
 * [out] first, second: must not be null; written on SDK_OK (the previous values when the scanner's answer
 * had another length, 0 at first).
 * Returns SDK_OK, SDK_ERR_INVALID_HANDLE, SDK_ERR_INVALID_ARG, SDK_ERR_BUSY, or an exchange error.
 */
ZT_API int ztGetBatteryStatus(ScannerHandle handle, int* first, int* second);

/* Second names. */
ZT_API ScannerHandle NrBtBarcodeInitialize(unsigned int port, int* error, DisconnectCallback onDisconnect,
                                           ScanDataCallback onScanData);
ZT_API int NrBtBarcodeDeinitialize(ScannerHandle handle, int shutdownAll);
ZT_API int NrBtBarcodeGetBatteryStatus(ScannerHandle handle, int* first, int* second);

#ifdef __cplusplus
}
#endif

#endif /* ZT330SDK_H */
