function get__count(c){
	var i=-2;
	for (v in c) i++;
	return i;
}

if (typeof JSON !== 'object') {
	JSON = {};
}

// The JSON text format for engines that lack it: JSON.stringify(value,
// replacer, space) and JSON.parse(text, reviver), each defined only when the
// engine has none of its own. Written for ECMAScript 3 engines: nothing here
// relies on Object.keys, Array.isArray or property descriptors.
// The code between on-demand and end-on-demand is embedded as a string and
// run by eval where it is needed: compiling it would cost every engine more
// than all the rest of its start-up, and engines with a JSON of their own
// never run it.
(function () {
	'use strict';

	var hasOwn = Object.prototype.hasOwnProperty;
	var classOf = Object.prototype.toString;

	function isArray(value) {
		return classOf.call(value) === '[object Array]';
	}

	function twoDigits(n) {
		return n < 10 ? '0' + n : String(n);
	}

	if (typeof Date.prototype.toJSON !== 'function') {
		// Year-month-dayThh:mm:ssZ in UTC; an invalid date gives null.
		Date.prototype.toJSON = function () {
			if (!isFinite(this.valueOf())) {
				return null;
			}
			return this.getUTCFullYear() + '-' +
				twoDigits(this.getUTCMonth() + 1) + '-' +
				twoDigits(this.getUTCDate()) + 'T' +
				twoDigits(this.getUTCHours()) + ':' +
				twoDigits(this.getUTCMinutes()) + ':' +
				twoDigits(this.getUTCSeconds()) + 'Z';
		};
		String.prototype.toJSON = function () {
			return this.valueOf();
		};
		Number.prototype.toJSON = function () {
			return this.valueOf();
		};
		Boolean.prototype.toJSON = function () {
			return this.valueOf();
		};
	}

	// Own enumerable names, in for..in order.
	function ownNames(object) {
		var names = [];
		var name;
		for (name in object) {
			if (hasOwn.call(object, name)) {
				names.push(name);
			}
		}
		return names;
	}

	if (typeof JSON.stringify !== 'function') {
		/*on-demand*/
		var shortEscapes = {
			'"': '\\"',
			'\\': '\\\\',
			'\b': '\\b',
			'\f': '\\f',
			'\n': '\\n',
			'\r': '\\r',
			'\t': '\\t'
		};

		var quote = function (text) {
			var out = '"';
			var start = 0;
			var i;
			var ch;
			var code;
			var hex;
			for (i = 0; i < text.length; i += 1) {
				code = text.charCodeAt(i);
				// U+2028 and U+2029 end a line in script source, so they are
				// escaped as well: the text stays valid inside a script.
				if (code < 0x20 || code === 0x22 || code === 0x5c || code === 0x2028 ||
						code === 0x2029) {
					ch = text.charAt(i);
					out += text.slice(start, i);
					if (hasOwn.call(shortEscapes, ch)) {
						out += shortEscapes[ch];
					} else {
						hex = code.toString(16);
						out += '\\u' + '0000'.slice(hex.length) + hex;
					}
					start = i + 1;
				}
			}
			return out + text.slice(start) + '"';
		};

		JSON.stringify = function (value, replacer, space) {
			var gap = '';
			var indent = '';
			var replacerFunction;
			var propertyList;
			var stack = [];
			var seen;
			var item;
			var i;

			if (typeof replacer === 'function') {
				replacerFunction = replacer;
			} else if (isArray(replacer)) {
				propertyList = [];
				seen = {};
				for (i = 0; i < replacer.length; i += 1) {
					item = replacer[i];
					if (typeof item === 'number' || classOf.call(item) === '[object Number]' ||
							classOf.call(item) === '[object String]') {
						item = String(item);
					}
					if (typeof item === 'string' && !hasOwn.call(seen, item)) {
						seen[item] = true;
						propertyList.push(item);
					}
				}
			}

			if (classOf.call(space) === '[object Number]') {
				space = Number(space);
			} else if (classOf.call(space) === '[object String]') {
				space = String(space);
			}
			if (typeof space === 'number') {
				for (i = 0; i < Math.min(10, Math.floor(space)); i += 1) {
					gap += ' ';
				}
			} else if (typeof space === 'string') {
				gap = space.slice(0, 10);
			}

			function enter(object) {
				for (var k = 0; k < stack.length; k += 1) {
					if (stack[k] === object) {
						throw new TypeError('JSON.stringify: cyclic structure');
					}
				}
				stack.push(object);
			}

			// The JSON text of holder[key], or undefined when it has none.
			function serialize(key, holder) {
				var value = holder[key];
				var kind;
				if (value !== null && (typeof value === 'object' || typeof value === 'function') &&
						typeof value.toJSON === 'function') {
					value = value.toJSON(key);
				}
				if (replacerFunction) {
					value = replacerFunction.call(holder, key, value);
				}
				if (value !== null && typeof value === 'object') {
					kind = classOf.call(value);
					if (kind === '[object Number]') {
						value = Number(value);
					} else if (kind === '[object String]') {
						value = String(value);
					} else if (kind === '[object Boolean]') {
						value = value.valueOf();
					}
				}
				switch (typeof value) {
				case 'string':
					return quote(value);
				case 'number':
					return isFinite(value) ? String(value) : 'null';
				case 'boolean':
					return String(value);
				case 'object':
					if (value === null) {
						return 'null';
					}
					return isArray(value) ? serializeArray(value) : serializeObject(value);
				default:
					return undefined;
				}
			}

			function wrap(parts, open, close, outer) {
				if (parts.length === 0) {
					return open + close;
				}
				if (gap === '') {
					return open + parts.join(',') + close;
				}
				return open + '\n' + indent + parts.join(',\n' + indent) + '\n' + outer + close;
			}

			function serializeArray(array) {
				var outer = indent;
				var parts = [];
				var length;
				var k;
				var text;
				enter(array);
				indent += gap;
				length = array.length;
				for (k = 0; k < length; k += 1) {
					text = serialize(String(k), array);
					parts.push(text === undefined ? 'null' : text);
				}
				text = wrap(parts, '[', ']', outer);
				stack.pop();
				indent = outer;
				return text;
			}

			function serializeObject(object) {
				var outer = indent;
				var parts = [];
				var names = propertyList || ownNames(object);
				var k;
				var text;
				enter(object);
				indent += gap;
				for (k = 0; k < names.length; k += 1) {
					text = serialize(names[k], object);
					if (text !== undefined) {
						parts.push(quote(names[k]) + (gap ? ': ' : ':') + text);
					}
				}
				text = wrap(parts, '{', '}', outer);
				stack.pop();
				indent = outer;
				return text;
			}

			return serialize('', {'': value});
		};
		/*end-on-demand*/
	}

	if (typeof JSON.parse !== 'function') {
		/*on-demand*/
		var unescapes = {
			'"': '"',
			'\\': '\\',
			'/': '/',
			'b': '\b',
			'f': '\f',
			'n': '\n',
			'r': '\r',
			't': '\t'
		};

		var setMember = function (object, name, value) {
			// Plain assignment of "__proto__" would change the prototype instead.
			if (name === '__proto__' && typeof Object.defineProperty === 'function') {
				Object.defineProperty(object, name, {
					value: value, writable: true, enumerable: true, configurable: true
				});
			} else {
				object[name] = value;
			}
		};

		JSON.parse = function (text, reviver) {
			var source = String(text);
			var at = 0;
			var result;

			function fail(message) {
				throw new SyntaxError('JSON.parse: ' + message + ' at ' + at);
			}

			function skipBlanks() {
				var ch = source.charAt(at);
				while (ch === ' ' || ch === '\t' || ch === '\n' || ch === '\r') {
					at += 1;
					ch = source.charAt(at);
				}
			}

			function expect(word) {
				if (source.slice(at, at + word.length) !== word) {
					fail('unexpected character');
				}
				at += word.length;
			}

			function isDigit(ch) {
				return ch >= '0' && ch <= '9';
			}

			function skipDigits() {
				var from = at;
				while (isDigit(source.charAt(at))) {
					at += 1;
				}
				if (at === from) {
					fail('digit expected');
				}
			}

			function readNumber() {
				var from = at;
				if (source.charAt(at) === '-') {
					at += 1;
				}
				if (source.charAt(at) === '0') {
					at += 1;
				} else {
					skipDigits();
				}
				if (source.charAt(at) === '.') {
					at += 1;
					skipDigits();
				}
				if (source.charAt(at) === 'e' || source.charAt(at) === 'E') {
					at += 1;
					if (source.charAt(at) === '+' || source.charAt(at) === '-') {
						at += 1;
					}
					skipDigits();
				}
				return Number(source.slice(from, at));
			}

			function readString() {
				var out = '';
				var start;
				var ch;
				var hex;
				at += 1;
				start = at;
				for (;;) {
					if (at >= source.length) {
						fail('unterminated string');
					}
					ch = source.charAt(at);
					if (ch === '"') {
						out += source.slice(start, at);
						at += 1;
						return out;
					}
					if (ch < ' ') {
						fail('control character in string');
					}
					if (ch === '\\') {
						out += source.slice(start, at);
						ch = source.charAt(at + 1);
						if (ch === 'u') {
							hex = source.slice(at + 2, at + 6);
							if (!/^[0-9a-fA-F]{4}$/.test(hex)) {
								fail('bad unicode escape');
							}
							out += String.fromCharCode(parseInt(hex, 16));
							at += 6;
						} else if (hasOwn.call(unescapes, ch)) {
							out += unescapes[ch];
							at += 2;
						} else {
							fail('bad escape');
						}
						start = at;
					} else {
						at += 1;
					}
				}
			}

			function readArray() {
				var array = [];
				at += 1;
				skipBlanks();
				if (source.charAt(at) === ']') {
					at += 1;
					return array;
				}
				for (;;) {
					array.push(readValue());
					skipBlanks();
					if (source.charAt(at) === ']') {
						at += 1;
						return array;
					}
					expect(',');
				}
			}

			function readObject() {
				var object = {};
				var name;
				at += 1;
				skipBlanks();
				if (source.charAt(at) === '}') {
					at += 1;
					return object;
				}
				for (;;) {
					skipBlanks();
					if (source.charAt(at) !== '"') {
						fail('member name expected');
					}
					name = readString();
					skipBlanks();
					expect(':');
					setMember(object, name, readValue());
					skipBlanks();
					if (source.charAt(at) === '}') {
						at += 1;
						return object;
					}
					expect(',');
				}
			}

			function readValue() {
				var ch;
				skipBlanks();
				ch = source.charAt(at);
				switch (ch) {
				case '{':
					return readObject();
				case '[':
					return readArray();
				case '"':
					return readString();
				case 't':
					expect('true');
					return true;
				case 'f':
					expect('false');
					return false;
				case 'n':
					expect('null');
					return null;
				default:
					if (ch === '-' || isDigit(ch)) {
						return readNumber();
					}
					return fail(at < source.length ? 'unexpected character' : 'unexpected end');
				}
			}

			// Hands every value, innermost first, to the reviver; undefined removes it.
			function revive(holder, key) {
				var value = holder[key];
				var names;
				var k;
				var revived;
				if (value !== null && typeof value === 'object') {
					if (isArray(value)) {
						names = [];
						for (k = 0; k < value.length; k += 1) {
							names.push(String(k));
						}
					} else {
						names = ownNames(value);
					}
					for (k = 0; k < names.length; k += 1) {
						revived = revive(value, names[k]);
						if (revived === undefined) {
							delete value[names[k]];
						} else {
							setMember(value, names[k], revived);
						}
					}
				}
				return reviver.call(holder, key, value);
			}

			result = readValue();
			skipBlanks();
			if (at < source.length) {
				fail('unexpected text after the value');
			}
			if (typeof reviver === 'function') {
				return revive({'': result}, '');
			}
			return result;
		};
		/*end-on-demand*/
	}
}());

if (typeof Object.prototype.toJSONString !== 'function') {
	Object.prototype.toJSONString = function (filter) {
		return JSON.stringify(this, filter);
	};
	Object.prototype.parseJSON = function (filter) {
		return JSON.parse(this, filter);
	};
}
