# The core files of "setup.dat" and the build target that supplies each of
# them, as NAME=TARGET pairs. Real stand-ins replace placeholders here.
set(DEMO_CORE_FILES
    smtp.exe=smtp
    pop3.exe=pop3
    control.exe=control
    config.exe=placeholder_program
    dnsquery.exe=placeholder_program
    tool.exe=placeholder_program
    sendmail.exe=placeholder_program
    api.dll=automation_api
    libeay32.dll=placeholder_library
    libssl32.dll=placeholder_library
    db.dll=db
    regex.dll=placeholder_library
    sqlite3.dll=placeholder_library
    libiconv.dll=placeholder_library
    nivaliscom.dll=automation_nivaliscom
    im.exe=im
    cal.exe=cal)
