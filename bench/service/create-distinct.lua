-- wrk script: every request posts a long address never posted before.
-- Arguments: RUN FOLDER [record]. With "record", every acknowledged create is written
-- at once to FOLDER/acked-RUN-<thread>.tsv as "alias<TAB>longurl", so that the
-- benchmark can check afterwards that each one was kept (that costs wrk a write per
-- reply, so the throughput run goes without).
local threadCount = 0

function setup(thread)
  threadCount = threadCount + 1
  thread:set("threadId", threadCount)
end

function init(args)
  run = args[1] or "run"
  folder = args[2] or "."
  counter = 0
  if args[3] == "record" then
    acked = io.open(folder .. "/acked-" .. run .. "-" .. threadId .. ".tsv", "w")
  end
  wrk.method = "POST"
  wrk.headers["Content-Type"] = "application/x-www-form-urlencoded"
  wrk.headers["Accept-Language"] = "zh-cn"
end

function request()
  counter = counter + 1
  local url = "https%3A%2F%2Fexample.com%2Fbench%2F" .. run .. "%2F" .. threadId .. "%2F" .. counter
  return wrk.format(nil, "/create.php", nil, "url=" .. url .. "&alias=")
end

function response(status, headers, body)
  if acked and status == 200 then
    local alias = body:match('"alias":"([^"]*)"')
    local longurl = body:match('"longurl":"([^"]*)"')
    if alias and longurl then
      acked:write(alias, "\t", longurl, "\n")
      acked:flush()
    end
  end
end
