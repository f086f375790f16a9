# Sourced by the benchmarks: starts an nginx of the run's own, all of its
# files in WORK, on one worker (as the clients are measured one at a time).
#   start_nginx WORK "lines of the http block" "lines of the server block"
start_nginx() {
  local work=$1
  mkdir -p "$work/tmp"
  cat > "$work/nginx.conf" <<CONF
worker_processes 1;
pid $work/nginx.pid;
error_log $work/error.log;
user $(id -un) $(id -gn);
events { worker_connections 1024; }
http {
  keepalive_requests 100000;
  client_body_temp_path $work/tmp;
  proxy_temp_path $work/tmp;
  fastcgi_temp_path $work/tmp;
  uwsgi_temp_path $work/tmp;
  scgi_temp_path $work/tmp;
$2
  server {
$3
  }
}
CONF
  nginx -c "$work/nginx.conf" -e "$work/error.log"
}
