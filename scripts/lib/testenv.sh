# Sourced by scripts/test (and usable by hand): starts a throwaway PostgreSQL and
# MariaDB server on loopback in a temporary directory, registers the ODBC drivers
# and the test data sources in private odbcinst.ini/odbc.ini files, and exports
# the variables the tests read. testenv_stop stops the servers and removes it all.
#
#   source scripts/lib/testenv.sh; testenv_start; ...; testenv_stop

testenv_find_driver() {
  local name=$1 d
  for d in /usr/lib/x86_64-linux-gnu/odbc /usr/lib/aarch64-linux-gnu/odbc /usr/lib64 /usr/lib/odbc /usr/local/lib; do
    [ -e "$d/$name" ] && { echo "$d/$name"; return 0; }
  done
  return 1
}

testenv_free_port() {
  local port=$1
  while (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do port=$((port + 1)); done
  echo "$port"
}

testenv_as_pg() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

testenv_start_postgres() {
  local bin
  bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
  [ -x "$bin/initdb" ] || { echo "testenv: PostgreSQL server binaries not found" >&2; return 1; }
  local dir=$TOLVANE_TEST_DIR/pg
  mkdir -p "$dir"
  [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
  printf 'postgres\n' > "$dir/pw" && chmod 644 "$dir/pw"
  testenv_as_pg "$bin/initdb" -D "$dir/data" -U postgres --pwfile="$dir/pw" -A scram-sha-256 \
    -E UTF8 --locale=C.UTF-8 --no-sync >"$dir/initdb.log" 2>&1 \
    || { cat "$dir/initdb.log" >&2; return 1; }
  # Another test run on the machine may take the free port between the look
  # and the start: then the next free port is tried.
  local attempt started=0 port=55432
  for attempt in 1 2 3 4 5; do
    TOLVANE_PG_PORT=$(testenv_free_port "$port")
    if testenv_as_pg "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
      -o "-p $TOLVANE_PG_PORT -k $dir -c listen_addresses=127.0.0.1 -c fsync=off -c full_page_writes=off" \
      start >/dev/null; then
      started=1
      break
    fi
    port=$((TOLVANE_PG_PORT + 1 + RANDOM % 50))
  done
  [ "$started" = 1 ] || { cat "$dir/server.log" >&2; return 1; }
  TOLVANE_PG_BIN=$bin
  PGPASSWORD=postgres "$bin/psql" -q -h 127.0.0.1 -p "$TOLVANE_PG_PORT" -U postgres -d postgres \
    -c "CREATE ROLE tolvane LOGIN PASSWORD 'tolvane'" \
    -c "CREATE DATABASE tolvane OWNER tolvane ENCODING 'UTF8'" \
    -c "CREATE DATABASE tolvane_cat OWNER tolvane ENCODING 'UTF8'" \
    -c "CREATE DATABASE tolvane_cli_old OWNER tolvane ENCODING 'UTF8'" \
    -c "CREATE DATABASE tolvane_cli_new OWNER tolvane ENCODING 'UTF8'" \
    -c "CREATE DATABASE tolvane_cli_merge OWNER tolvane ENCODING 'UTF8'" >/dev/null
}

testenv_start_mariadb() {
  local server
  server=$(command -v mariadbd || command -v mysqld || ls /usr/sbin/mariadbd /usr/sbin/mysqld 2>/dev/null | head -n 1)
  [ -x "$server" ] || { echo "testenv: MariaDB server not found" >&2; return 1; }
  local dir=$TOLVANE_TEST_DIR/maria user
  mkdir -p "$dir"
  user=$(id -un)
  if [ "$user" = root ]; then user=mysql; chown mysql: "$dir"; fi
  mariadb-install-db --no-defaults --datadir="$dir/data" --user="$user" \
    --auth-root-authentication-method=socket --skip-test-db >"$dir/install.log" 2>&1 \
    || { cat "$dir/install.log" >&2; return 1; }
  # As for PostgreSQL: when the port was taken meanwhile, the server ends and
  # the next free port is tried.
  local attempt i pid up=0 port=53306
  for attempt in 1 2 3 4 5; do
    TOLVANE_MARIA_PORT=$(testenv_free_port "$port")
    "$server" --no-defaults --datadir="$dir/data" --socket="$dir/sock" --port="$TOLVANE_MARIA_PORT" \
      --bind-address=127.0.0.1 --user="$user" --pid-file="$dir/pid" --log-error="$dir/server.log" \
      --skip-log-bin --innodb-flush-log-at-trx-commit=0 --character-set-server=utf8mb4 \
      --collation-server=utf8mb4_bin >/dev/null 2>&1 &
    pid=$!
    for i in $(seq 1 120); do
      if mariadb --no-defaults -S "$dir/sock" -u root -e 'SELECT 1' >/dev/null 2>&1; then up=1; break; fi
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.5
    done
    [ "$up" = 1 ] && break
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    port=$((TOLVANE_MARIA_PORT + 1 + RANDOM % 50))
  done
  mariadb --no-defaults -S "$dir/sock" -u root -e "
    CREATE DATABASE tolvane CHARACTER SET utf8mb4 COLLATE utf8mb4_bin;
    CREATE USER 'tolvane'@'127.0.0.1' IDENTIFIED BY 'tolvane';
    CREATE USER 'tolvane'@'localhost' IDENTIFIED BY 'tolvane';
    GRANT ALL ON tolvane.* TO 'tolvane'@'127.0.0.1';
    GRANT ALL ON tolvane.* TO 'tolvane'@'localhost';
    CREATE DATABASE tolvane_cli_old CHARACTER SET utf8mb4 COLLATE utf8mb4_bin;
    CREATE DATABASE tolvane_cli_new CHARACTER SET utf8mb4 COLLATE utf8mb4_bin;
    CREATE DATABASE tolvane_cli_merge CHARACTER SET utf8mb4 COLLATE utf8mb4_bin;
    GRANT ALL ON \`tolvane_cli_%\`.* TO 'tolvane'@'127.0.0.1';
    GRANT ALL ON \`tolvane_cli_%\`.* TO 'tolvane'@'localhost';" \
    || { cat "$dir/server.log" >&2; return 1; }
}

testenv_write_odbc_ini() {
  local odbc=$TOLVANE_TEST_DIR/odbc sqlite pgw maria
  mkdir -p "$odbc" "$TOLVANE_TEST_DIR/sqlite"
  sqlite=$(testenv_find_driver libsqlite3odbc.so) || { echo "testenv: SQLite3 ODBC driver missing" >&2; return 1; }
  pgw=$(testenv_find_driver psqlodbcw.so) || { echo "testenv: psqlODBC missing" >&2; return 1; }
  maria=$(testenv_find_driver libmaodbc.so) || { echo "testenv: MariaDB ODBC connector missing" >&2; return 1; }
  # DontDLClose keeps a driver loaded after its last connection: a leak that a
  # sanitizer build reports at exit then names the driver's functions instead of
  # an unloaded module, so the suppressions can tell the drivers' leaks from ours.
  cat >"$odbc/odbcinst.ini" <<INI
[SQLite3]
Description=SQLite3 ODBC Driver
Driver=$sqlite
Setup=$sqlite
DontDLClose=1

[PostgreSQL Unicode]
Description=PostgreSQL ODBC driver (Unicode)
Driver=$pgw
DontDLClose=1

[MariaDB]
Description=MariaDB Connector/ODBC
Driver=$maria
DontDLClose=1
INI
  # The system file holds one data source so that listing both kinds can be tested.
  cat >"$odbc/odbc.ini" <<INI
[tolvane_system]
Description=SQLite test data source (system)
Driver=SQLite3
Database=$TOLVANE_TEST_DIR/sqlite/system.db
StepAPI=1
INI
  local role
  : >"$odbc/user.ini"
  for role in old new merge scratch cat_old cat_new; do
    cat >>"$odbc/user.ini" <<INI
[tolvane_$role]
Description=SQLite test data source ($role)
Driver=SQLite3
Database=$TOLVANE_TEST_DIR/sqlite/$role.db
StepAPI=1
Timeout=10000

INI
  done
  cat >>"$odbc/user.ini" <<INI
[tolvane_pg]
Description=PostgreSQL test data source
Driver=PostgreSQL Unicode
Servername=127.0.0.1
Port=$TOLVANE_PG_PORT
Database=tolvane
Username=tolvane
Password=tolvane
UseDeclareFetch=1
Fetch=10000

[tolvane_pg_cat]
Description=PostgreSQL data source with a database of its own for catalog tests
Driver=PostgreSQL Unicode
Servername=127.0.0.1
Port=$TOLVANE_PG_PORT
Database=tolvane_cat
Username=tolvane
Password=tolvane

[tolvane_pg_login]
Description=PostgreSQL test data source without stored password
Driver=PostgreSQL Unicode
Servername=127.0.0.1
Port=$TOLVANE_PG_PORT
Database=tolvane
UseDeclareFetch=1
Fetch=10000

[tolvane_pg_down]
Description=PostgreSQL data source whose server is not running
Driver=PostgreSQL Unicode
Servername=127.0.0.1
Port=$(testenv_free_port 45999)
Database=tolvane
Username=tolvane
Password=tolvane

[tolvane_maria]
Description=MariaDB test data source
Driver=MariaDB
Server=127.0.0.1
Port=$TOLVANE_MARIA_PORT
Database=tolvane
User=tolvane
Password=tolvane
INI
  export ODBCSYSINI=$odbc ODBCINSTINI=odbcinst.ini ODBCINI=$odbc/user.ini
}

testenv_start() {
  TOLVANE_TEST_DIR=$(mktemp -d /tmp/tolvane-test.XXXXXX)
  chmod 755 "$TOLVANE_TEST_DIR"
  export TOLVANE_TEST_DIR
  testenv_start_postgres || return 1
  testenv_start_mariadb || return 1
  testenv_write_odbc_ini || return 1
  mkdir -p "$TOLVANE_TEST_DIR/config"
  export XDG_CONFIG_HOME=$TOLVANE_TEST_DIR/config
  export TOLVANE_TEST_SERVERS=1 TOLVANE_PG_PORT TOLVANE_MARIA_PORT TOLVANE_PG_BIN
  echo "testenv: PostgreSQL on 127.0.0.1:$TOLVANE_PG_PORT, MariaDB on 127.0.0.1:$TOLVANE_MARIA_PORT, files in $TOLVANE_TEST_DIR"
}

testenv_stop() {
  [ -n "${TOLVANE_TEST_DIR:-}" ] && [ -d "$TOLVANE_TEST_DIR" ] || return 0
  if [ -f "$TOLVANE_TEST_DIR/pg/data/postmaster.pid" ]; then
    testenv_as_pg "${TOLVANE_PG_BIN}/pg_ctl" -D "$TOLVANE_TEST_DIR/pg/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  if [ -f "$TOLVANE_TEST_DIR/maria/pid" ]; then
    local pid
    pid=$(cat "$TOLVANE_TEST_DIR/maria/pid")
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 1 60); do kill -0 "$pid" 2>/dev/null || break; sleep 0.5; done
    kill -9 "$pid" 2>/dev/null || true
  fi
  rm -rf "$TOLVANE_TEST_DIR"
  unset TOLVANE_TEST_DIR
}
