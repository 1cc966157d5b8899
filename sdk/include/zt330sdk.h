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
 * `length` = 25 + text length (the bytes before the first zero byte). The record is valid only during
 * the call. Malformed packets are never read beyond their end: one shorter than the 24-byte head is
 * acknowledged and dropped; one whose text has no zero byte is delivered with the text cut at the end of
 * the packet and a zero byte added. Scans that arrive while an operation runs on the handle are neither
 * delivered nor acknowledged (left unacknowledged, the scanner may send them again).
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
 * Every operation below takes a handle from ztInitialize first and runs one exchange with the scanner,
 * blocking the caller until it ends (at most three 1000 ms waits per request). Besides the codes listed,
 * each can return SDK_ERR_INVALID_HANDLE (null or closed handle), SDK_ERR_BUSY (another operation runs
 * on the handle) and the exchange errors SDK_ERR_LINK, SDK_ERR_TIMEOUT, SDK_ERR_ABORTED, SDK_ERR_PORT_LOST
 * and SDK_ERR_DEVICE_REFUSED. Outputs are written only on SDK_OK. Pointers marked [out] must not be null
 * (SDK_ERR_INVALID_ARG). Values whose meaning is the scanner's are passed through as numbers.
 */

/* Scanned-records progress: `received` of `total` records; (0, -1) once when the collection failed. */
typedef void (*CollectProgressCallback)(int total, int received);

/* Scan mode 0..2; modes 1 and 2 carry a time value 0..9999 (mode 0 sends no value). */
ZT_API int ztSetScanMode(ScannerHandle handle, int scanMode, unsigned int value);
/* [out] scanMode, value: 0 and 0 when the scanner's answer had another form. */
ZT_API int ztGetScanMode(ScannerHandle handle, int* scanMode, int* value);

/* Beep volume 0..3. */
ZT_API int ztSetBuzzerVolume(ScannerHandle handle, unsigned int volume);
/* [out] volume: 0..3 (0 when the scanner reports another value or form). */
ZT_API int ztGetBuzzerVolume(ScannerHandle handle, int* volume);

/* [out] first, second: battery values; the previous call's values (0 at first) on an answer of another form. */
ZT_API int ztGetBatteryStatus(ScannerHandle handle, int* first, int* second);
/* [out] value: storage status; the previous value on an answer of another form. */
ZT_API int ztGetStorageStatus(ScannerHandle handle, int* value);

/*
 * Scanner time, 7 bytes: year - 1900 (70 or more), month 0..11, day 1..31, hour 0..23, minute 0..59,
 * second 0..59, day of week 0..6 (0 Sunday). ztSetTime checks every field before sending.
 */
ZT_API int ztSetTime(ScannerHandle handle, const unsigned char* time);
/* [out] time: 7 bytes, written only from an answer of the right form. */
ZT_API int ztGetTime(ScannerHandle handle, unsigned char* time);

/*
 * Prefix and suffix texts, sent before and after every barcode. Texts use the backslash notation:
 * \t tab, \n line feed, \r carriage return (either letter case), \\ backslash; any other backslash stands for
 * itself. Bytes must be 1..127 and the text at most 63 characters once unescaped (else SDK_ERR_INVALID_ARG).
 * [out] length: the unescaped length + 1.
 */
ZT_API int ztSetPrefix(ScannerHandle handle, const char* text, int* length);
ZT_API int ztSetSuffix(ScannerHandle handle, const char* text, int* length);
/*
 * [out] text: a buffer of at least 64 bytes; receives the scanner's text in backslash notation, zero
 * terminated (SDK_ERR_INVALID_ARG when that would exceed 63 characters). [out] length: the answer's length - 1.
 */
ZT_API int ztGetPrefix(ScannerHandle handle, char* text, int* length);
ZT_API int ztGetSuffix(ScannerHandle handle, char* text, int* length);

/*
 * Symbology option `item` of symbology `group` (item 0: the symbology on or off). Only the 34 offered
 * pairs are accepted; any other gives SDK_ERR_UNSUPPORTED_OPTION without an exchange. Values are one byte.
 */
ZT_API int ztSetSymbologyOption(ScannerHandle handle, int group, int item, int value);
/* [out] value: 0 when the answer had another form. */
ZT_API int ztGetSymbologyOption(ScannerHandle handle, int group, int item, int* value);

/* Configuration items. Gets check the answer strictly: an answer of another form is SDK_ERR_DEVICE_REFUSED. */
/* Bluetooth identity, 6 bytes ([in] / [out] buffers of 6 bytes). */
ZT_API int ztSetBluetoothID(ScannerHandle handle, const unsigned char* id);
ZT_API int ztGetBluetoothID(ScannerHandle handle, unsigned char* id);
/* Serial number: 1..22 characters 0-9, A-Z, a-z. [out] buffer of at least 23 bytes, zero terminated. */
ZT_API int ztSetBluetoothSerial(ScannerHandle handle, const char* serial);
ZT_API int ztGetBluetoothSerial(ScannerHandle handle, char* serial);
/* Bluetooth PIN: exactly 4 digits. [out] buffer of at least 5 bytes, zero terminated. */
ZT_API int ztSetBluetoothPin(ScannerHandle handle, const char* pin);
ZT_API int ztGetBluetoothPin(ScannerHandle handle, char* pin);
/* [out] version: 2 bytes, shown as two characters. */
ZT_API int ztGetImageVersion(ScannerHandle handle, unsigned char* version);
/* Erases every record stored in the scanner. */
ZT_API int ztClearAllData(ScannerHandle handle);
/* Restores the scanner's factory settings. */
ZT_API int ztSetDefault(ScannerHandle handle);
/* Power-save (sleep) time 0..10. */
ZT_API int ztSetSleepModeTime(ScannerHandle handle, unsigned int value);
ZT_API int ztGetSleepModeTime(ScannerHandle handle, int* value);
/* Beep delays on connect and disconnect, 0..3000. */
ZT_API int ztSetConnectBeepDelayTime(ScannerHandle handle, unsigned int value);
ZT_API int ztGetConnectBeepDelayTime(ScannerHandle handle, int* value);
ZT_API int ztSetDisconnectBeepDelayTime(ScannerHandle handle, unsigned int value);
ZT_API int ztGetDisconnectBeepDelayTime(ScannerHandle handle, int* value);
/* Behaviour flags: any nonzero value sets the flag. [out] flag: 1 when set, else 0. */
ZT_API int ztSetDeleteSignal(ScannerHandle handle, int on);
ZT_API int ztGetDeleteSignal(ScannerHandle handle, unsigned char* on);
ZT_API int ztSetSleepModeLedOn(ScannerHandle handle, int on);
ZT_API int ztGetSleepModeLedOn(ScannerHandle handle, unsigned char* on);
ZT_API int ztSetCancelBtnStatus(ScannerHandle handle, int on);
ZT_API int ztGetCancelBtnStatus(ScannerHandle handle, unsigned char* on);
ZT_API int ztSetScanTimeMilSecOn(ScannerHandle handle, int on);
ZT_API int ztGetScanTimeMilSecOn(ScannerHandle handle, unsigned char* on);
ZT_API int ztSetCancelFuncChangeStatus(ScannerHandle handle, int on);
ZT_API int ztGetCancelFuncChangeStatus(ScannerHandle handle, unsigned char* on);
ZT_API int ztSetNoBtConnectNotScanStatus(ScannerHandle handle, int on);
ZT_API int ztGetNoBtConnectNotScanStatus(ScannerHandle handle, unsigned char* on);

/*
 * Downloads every record stored in the scanner into the handle (one exchange: a size header, one record
 * per block), sorted newest first. `progress` (may be null) runs on the SDK's thread of this handle while
 * the download runs: (total, 0) after the size header, then about every tenth record, then
 * (total, total); (0, -1) once, on the caller's thread, when the download failed. It must not call the SDK
 * for this handle. Records that arrived before a failure are kept and counted (except after
 * SDK_ERR_PORT_LOST, which leaves `count` unwritten). Records longer than 3096 bytes or without a zero byte
 * after their text are dropped and the download goes on.
 * [out] count: the number of records now held.
 */
ZT_API int ztPrepareCollecting(ScannerHandle handle, int* count, CollectProgressCallback progress);

/*
 * Copies record `index` (0 = newest) of the last download; never waits for another operation on the
 * handle. [out] tag (0..255), time (7 bytes), value1, value2, text (buffer of at least 3072 bytes, zero
 * terminated), textLength (bytes before the zero byte). Returns SDK_OK, SDK_ERR_INVALID_HANDLE,
 * SDK_ERR_INVALID_ARG (null output, or index outside 0..count-1) or SDK_ERR_BUSY (a download runs).
 */
ZT_API int ztCollectingOnce(ScannerHandle handle, int index, int* tag, unsigned char* time, double* value1,
                            double* value2, char* text, int* textLength);

/* Second names: the same functions. The twelve flag operations have none. */
ZT_API ScannerHandle NrBtBarcodeInitialize(unsigned int port, int* error, DisconnectCallback onDisconnect,
                                           ScanDataCallback onScanData);
ZT_API int NrBtBarcodeDeinitialize(ScannerHandle handle, int shutdownAll);
ZT_API int NrBtBarcodePrepareCollecting(ScannerHandle handle, int* count, CollectProgressCallback progress);
ZT_API int NrBtBarcodeCollectingOnce(ScannerHandle handle, int index, int* tag, unsigned char* time,
                                     double* value1, double* value2, char* text, int* textLength);
ZT_API int NrBtBarcodeClearAllData(ScannerHandle handle);
ZT_API int NrBtBarcodeSetScanMode(ScannerHandle handle, int scanMode, unsigned int value);
ZT_API int NrBtBarcodeGetScanMode(ScannerHandle handle, int* scanMode, int* value);
ZT_API int NrBtBarcodeSetBuzzerVolume(ScannerHandle handle, unsigned int volume);
ZT_API int NrBtBarcodeGetBuzzerVolume(ScannerHandle handle, int* volume);
ZT_API int NrBtBarcodeGetBatteryStatus(ScannerHandle handle, int* first, int* second);
ZT_API int NrBtBarcodeGetStorageStatus(ScannerHandle handle, int* value);
ZT_API int NrBtBarcodeSetTime(ScannerHandle handle, const unsigned char* time);
ZT_API int NrBtBarcodeGetTime(ScannerHandle handle, unsigned char* time);
ZT_API int NrBtBarcodeSetPrefix(ScannerHandle handle, const char* text, int* length);
ZT_API int NrBtBarcodeGetPrefix(ScannerHandle handle, char* text, int* length);
ZT_API int NrBtBarcodeSetSuffix(ScannerHandle handle, const char* text, int* length);
ZT_API int NrBtBarcodeGetSuffix(ScannerHandle handle, char* text, int* length);
ZT_API int NrBtBarcodeSetSymbologyOption(ScannerHandle handle, int group, int item, int value);
ZT_API int NrBtBarcodeGetSymbologyOption(ScannerHandle handle, int group, int item, int* value);
ZT_API int NrBtBarcodeSetBluetoothID(ScannerHandle handle, const unsigned char* id);
ZT_API int NrBtBarcodeGetBluetoothID(ScannerHandle handle, unsigned char* id);
ZT_API int NrBtBarcodeSetBluetoothSerial(ScannerHandle handle, const char* serial);
ZT_API int NrBtBarcodeGetBluetoothSerial(ScannerHandle handle, char* serial);
ZT_API int NrBtBarcodeSetBluetoothPin(ScannerHandle handle, const char* pin);
ZT_API int NrBtBarcodeGetBluetoothPin(ScannerHandle handle, char* pin);
ZT_API int NrBtBarcodeGetImageVersion(ScannerHandle handle, unsigned char* version);
ZT_API int NrBtBarcodeSetSleepModeTime(ScannerHandle handle, unsigned int value);
ZT_API int NrBtBarcodeGetSleepModeTime(ScannerHandle handle, int* value);
ZT_API int NrBtBarcodeSetConnectBeepDelayTime(ScannerHandle handle, unsigned int value);
ZT_API int NrBtBarcodeGetConnectBeepDelayTime(ScannerHandle handle, int* value);
ZT_API int NrBtBarcodeSetDisconnectBeepDelayTime(ScannerHandle handle, unsigned int value);
ZT_API int NrBtBarcodeGetDisconnectBeepDelayTime(ScannerHandle handle, int* value);
ZT_API int NrBtBarcodeSetDefault(ScannerHandle handle);

#ifdef __cplusplus
}
#endif

#endif /* ZT330SDK_H */
