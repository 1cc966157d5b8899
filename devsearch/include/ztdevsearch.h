/**
 * @file ztdevsearch.h
 * @brief Device search: lists the barcode scanners paired with this machine and the serial port bound to each,
 * from the Bluetooth stack's own settings. It opens no port and starts no radio inquiry.
 *
 * Where the pairings come from, in this order (the first that applies is the only one used):
 *  1. the platform stack's keys in the registry hive (`HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Bluetooth`),
 *  2. the Widcomm stack's keys (`HKEY_LOCAL_MACHINE\Software\WIDCOMM\BTConfig\AutoConnect`),
 *  3. BlueZ: paired devices whose address has a bound RFCOMM tty (`rfcomm bind N ADDRESS` makes
 *     /dev/rfcommN, port N).
 *
 * Only devices whose name holds "ZT-550" (case-sensitive) are listed.
 *
 * The hive is the file $ZT_REGISTRY, else /etc/zt330/registry.reg (a missing file is an empty hive).
 * BlueZ is asked on the system bus, or on the bus at $ZT_DBUS_ADDRESS when set; the bound ttys are read
 * from /sys/class/tty, or from the folder $ZT_RFCOMM_SYSFS when set (tests). ZT_DEVSEARCH_TRACE=1 writes
 * why a source was not used to standard error.
 *
 * @par Thread safety
 *  - SearchingDevice keeps no state between calls and takes no lock; calls on different lists may run at
 *    the same time. The caller must not touch the list while a call on it runs.
 *  - A DeviceRecord is plain data: the application synchronises its own access to records.
 */
#ifndef ZTDEVSEARCH_H
#define ZTDEVSEARCH_H

#include <cstdint>
#include <list>
#include <string>
#include <string_view>

#include "ztdevsearch_version.h"

/** Marks what the library exports (default visibility while the library itself is built). */
#if defined(ZT_DEVSEARCH_BUILDING)
#define ZT_DEVSEARCH_API __attribute__((visibility("default")))
#else
#define ZT_DEVSEARCH_API
#endif

/** The scanner SDK's handle type, declared here too so that a record can hold it without this header
 * depending on the SDK's (a repeated identical typedef is allowed). */
typedef struct ZtScanner* ScannerHandle;

/**
 * One paired scanner. The search creates records with port and name set and every other field zero;
 * the application then reads and writes the fields directly. The record keeps its own copy of the name.
 */
class ZT_DEVSEARCH_API DeviceRecord {
public:
    /** A record with every field zero and an empty name. */
    DeviceRecord() = default;
    /**
     * A record of a scanner found by the search.
     * @param[in] portNumber N of port COM N (/dev/rfcommN).
     * @param[in] deviceName the Bluetooth name, copied.
     */
    DeviceRecord(std::int32_t portNumber, std::wstring_view deviceName);

    /* Read accessors; these four occupy the first four slots of the virtual table, in this order. */
    /** Read accessor (first slot of the virtual table). @return port */
    virtual std::int32_t GetPort() const; /* port */
    /** Read accessor (second slot of the virtual table). @return name; valid while the record and its name live */
    virtual const wchar_t* GetName() const; /* name; valid while the record and its name live */
    /** Read accessor (third slot of the virtual table). @return handle */
    virtual ScannerHandle GetHandle() const; /* handle */
    /** Read accessor (fourth slot of the virtual table). @return state */
    virtual std::int32_t GetState() const; /* state */

    /** Destroys the record and its copy of the name. */
    virtual ~DeviceRecord();
    /** Copies every field. */
    DeviceRecord(const DeviceRecord&) = default;
    /** Copies every field. @return this record */
    DeviceRecord& operator=(const DeviceRecord&) = default;
    /** Moves every field. */
    DeviceRecord(DeviceRecord&&) noexcept = default;
    /** Moves every field. @return this record */
    DeviceRecord& operator=(DeviceRecord&&) noexcept = default;

    std::int32_t port = 0;          /**< N of the serial port COM N bound to the scanner */
    std::wstring name;              /**< Bluetooth device name as the stack stores it */
    std::int32_t state = 0;         /**< connection state; 0 = disconnected */
    ScannerHandle handle = nullptr; /**< the SDK's handle while connected (pointer-sized on purpose) */
    std::int32_t retriesLeft = 0;   /**< automatic reconnect attempts still allowed */
    std::uint32_t dueTime = 0;      /**< tick count (ms, wrapping) of the earliest next connect attempt */
};

/**
 * The caller's list of records, front first. The list holds raw pointers that it does not own: every
 * record in it, whether it was there before a search or put there by one, belongs to the caller, who
 * deletes it with `delete`. A search that empties the list destroys no record, so the caller must keep
 * (or delete) the records it put there before calling.
 */
using DeviceRecordList = std::list<DeviceRecord*>;

extern "C" {

/**
 * Rebuilds list from the Bluetooth stack's settings.
 * @param[in,out] list the caller's records.
 * When a source applies, the list is emptied and filled with one new record per scanner found (a
 * registry stack's scanners in the reverse order of its enumeration; BlueZ scanners by port number).
 * When no source applies (no stack keys in the hive, and no BlueZ or no bound RFCOMM tty), the list is
 * left exactly as it was. Reports nothing and never throws; on an internal failure the list is left
 * unchanged. Synchronous; a D-Bus exchange is cut off after 1 s.
 */
ZT_DEVSEARCH_API void SearchingDevice(DeviceRecordList& list) noexcept;
}

#endif /* ZTDEVSEARCH_H */
