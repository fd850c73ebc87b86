-- The old data source of the demo: what the tables held before.
CREATE TABLE customers (
  id INTEGER NOT NULL PRIMARY KEY,
  name VARCHAR(40) NOT NULL,
  city VARCHAR(40),
  note VARCHAR(200),
  balance NUMERIC(10,2)
);
INSERT INTO customers VALUES (1, 'Ann Archer', 'Oslo', 'pays on time', 120.50);
INSERT INTO customers VALUES (2, 'Bob "the builder" Brown', 'Bergen', 'quotes, commas, and all', 0);
INSERT INTO customers VALUES (3, 'Cécile O''Neill', 'Trondheim', 'two
lines', -15.25);
INSERT INTO customers VALUES (4, 'Dag Dahl', NULL, 'NULL', NULL);
INSERT INTO customers VALUES (5, 'Eve Eng', 'Tromsø', '', 99.99);
INSERT INTO customers VALUES (6, 'Finn Fjord', 'Bodø', 'closed his account', 0);

CREATE TABLE orders (
  order_no INTEGER NOT NULL,
  line INTEGER NOT NULL,
  item VARCHAR(40),
  qty INTEGER,
  ordered TIMESTAMP
);
INSERT INTO orders VALUES (1001, 1, 'Widget, large', 2, '2024-03-01 09:15:00');
INSERT INTO orders VALUES (1001, 2, 'Gadget', 1, '2024-03-01 09:15:00');
INSERT INTO orders VALUES (1002, 1, 'Sprocket "XL"', 10, '2024-03-02 14:00:00');
INSERT INTO orders VALUES (1003, 1, 'Cog', 5, '2024-03-03 08:30:00');

CREATE TABLE products (
  code VARCHAR(10) NOT NULL PRIMARY KEY,
  title VARCHAR(60),
  price REAL,
  discontinued INTEGER
);
INSERT INTO products VALUES ('W-1', 'Widget', 4.5, 0);
INSERT INTO products VALUES ('G-1', 'Gadget', 12.0, 0);
INSERT INTO products VALUES ('S-9', 'Sprocket', 0.75, 1);

CREATE TABLE legacy_notes (
  id INTEGER NOT NULL PRIMARY KEY,
  text VARCHAR(100)
);
INSERT INTO legacy_notes VALUES (1, 'only the old data source has this table');
